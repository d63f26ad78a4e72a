#include "companion/stored_repeats.h"

#include "memo/repeat_store.h"

namespace plumo {

bool StoredRepeats::hasTable() { return hasRepeatTable(database_); }

void StoredRepeats::rollForward(std::int64_t id, DateTime now) {
    plumo::rollForward(database_, id, now);
}

void StoredRepeats::rollForwardClosed(DateTime now) { plumo::rollForwardClosed(database_, now); }

// An item the memo program deleted meanwhile has nothing to move, as with "延迟一天".
void StoredRepeats::snooze(std::int64_t id, DateTime until) { snoozeItem(database_, id, until); }

}  // namespace plumo
