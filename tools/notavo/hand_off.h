#pragma once

// The hand-off files the companion writes into the program folder just before it
// starts the memo program, telling it what to show:
//   "mr.tmp" with an item id and CR LF  the item announced as due
//   "mr.tmp" empty                      the overdue reminders
//   "mp.tmp" empty                      the open plans

#include <cstdint>
#include <filesystem>

namespace plumo::notavo {

struct HandOff {
    enum class Kind { None, Item, OverdueReminders, OpenPlans };
    Kind kind = Kind::None;
    std::int64_t id = 0;  // for Item
};

// Reads the hand-off file in `folder` and deletes it. Should both lie there, the newer
// one counts and both are deleted (the older one is left from an earlier start). A file
// that cannot be understood is deleted and gives None.
HandOff takeHandOff(const std::filesystem::path& folder);

}  // namespace plumo::notavo
