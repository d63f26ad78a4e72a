#pragma once

// Repeating items in the memo file. The rules live in a table of their own beside log,
// so log keeps its five columns and a file without the table works as before: the memo
// program adds the table on its first open, the companion only reads a file that has it.
//
// Each repeating item keeps its rule, its anchor (the first occurrence the user chose)
// and its current occurrence (the one its reminder stands for, before any postponement).
// Closing an occurrence rolls the item forward: open again, at the rule's first
// occurrence after both the closed one and now. Errors throw DatabaseError.

#include <cstdint>
#include <map>
#include <optional>

#include "base/date_time.h"
#include "memo/memo_database.h"
#include "memo/repeat_rule.h"

namespace plumo {

struct RepeatSeries {
    RepeatRule rule = RepeatRule::Daily;
    DateTime anchor = 0;
    DateTime occurrence = 0;
};

// True when the file has the repeat table (a file of an older memo program has not).
bool hasRepeatTable(MemoDatabase& database);
// Adds the repeat table when it is missing, in one transaction; nothing else changes.
void ensureRepeatTable(MemoDatabase& database);

// What the memo program does on every open, its window or its command line: ids never
// reused (ensureIdsNeverReused), the repeat table in place, closed repeating items
// rolled forward (rollForwardClosed).
void prepareForMemoProgram(MemoDatabase& database, DateTime now);

// Every repeating item's series, by item id; empty without the table.
std::map<std::int64_t, RepeatSeries> repeatSeries(MemoDatabase& database);
std::optional<RepeatSeries> findRepeatSeries(MemoDatabase& database, std::int64_t id);

// Makes item `id` repeat by `rule`, anchored at its current reminder (which becomes the
// current occurrence). False when there is no such item or it has no reminder.
bool setRepeatRule(MemoDatabase& database, std::int64_t id, RepeatRule rule);
// The item no longer repeats; its reminder stays. False when it did not repeat.
bool clearRepeatRule(MemoDatabase& database, std::int64_t id);

struct RollOutcome {
    bool repeating = false;        // the item had a rule
    std::optional<DateTime> next;  // the new reminder; nullopt when the series ended
};

// After item `id` was closed: when it repeats, opens it again at its next occurrence
// after both the closed one and `now`, in one transaction; when the series has ended the
// item stays closed and loses its rule. Does nothing to an open item or one without a
// rule, nor without the table.
RollOutcome rollForward(MemoDatabase& database, std::int64_t id, DateTime now);
// Every closed item that still has a rule, as rollForward; returns how many reopened.
int rollForwardClosed(MemoDatabase& database, DateTime now);

// The reminder of item `id` moved to `until` (whole seconds) for this occurrence only.
// False when there is no such item.
bool snoozeItem(MemoDatabase& database, std::int64_t id, DateTime until);

}  // namespace plumo
