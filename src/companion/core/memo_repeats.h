#pragma once

// Repeating memo items and snoozed reminders, as the companion's answers and start-up use
// them. The window hands in the memo store's; tests hand in a fake. Every call throws
// MemoError when the memo file refuses it.

#include <cstdint>

#include "base/date_time.h"

namespace plumo {

class MemoRepeats {
public:
    virtual ~MemoRepeats() = default;

    // True when the memo file keeps repeat rules; a file of an older memo program does not,
    // and then nothing here but snooze is to be used.
    virtual bool hasTable() = 0;
    // After item `id` was closed: a repeating item opens again at its next occurrence.
    virtual void rollForward(std::int64_t id, DateTime now) = 0;
    // Every closed item that still repeats, as rollForward.
    virtual void rollForwardClosed(DateTime now) = 0;
    // The reminder of item `id` moved to `until` (whole seconds), this occurrence only.
    virtual void snooze(std::int64_t id, DateTime until) = 0;
};

}  // namespace plumo
