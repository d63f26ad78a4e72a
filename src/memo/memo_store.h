#pragma once

// The memo items as the memo program (its window and its command line) reads and
// changes them, on the memo database connection. Every change is one statement of its
// own, written at once and touching only the columns it changes, so a change the
// companion makes meanwhile (closing an item, postponing it) is kept. Reminder times
// are stored as whole seconds. Errors throw DatabaseError (DatabaseBusyError when
// another program held the file locked too long).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "memo/memo_database.h"

namespace plumo {

struct MemoItem {
    std::int64_t id = 0;
    std::string title;  // empty for a title stored as Null
    bool plan = false;
    bool done = false;
    std::optional<DateTime> reminder;
    bool titleIsNull = false;  // only another program leaves a Null title
};

// What the user enters for a new item.
struct ItemInput {
    std::string title;
    std::optional<DateTime> reminder;
    bool plan = false;
};

// What an edit changes: each field holds the new value, or nothing when it stays as
// stored (so a reminder the companion moved meanwhile is kept unless the user changed it).
struct ItemChange {
    std::optional<std::string> title;
    std::optional<std::optional<DateTime>> reminder;  // a held nullopt removes the reminder
    std::optional<bool> plan;

    bool empty() const { return !title && !reminder && !plan; }
};

// The fields in which `after` differs from `before`; reminders compare to the second.
ItemChange changeBetween(const ItemInput& before, const ItemInput& after);

enum class PostponeOutcome { Postponed, NoSuchItem, NoReminder };

struct PostponeResult {
    PostponeOutcome outcome = PostponeOutcome::NoSuchItem;
    DateTime reminder = 0;  // the new reminder time, once postponed
};

class MemoStore {
public:
    explicit MemoStore(MemoDatabase& database) : database_(database) {}

    // Open items first, then done ones; each by reminder time (undated last), then by id.
    std::vector<MemoItem> list() const;
    std::optional<MemoItem> find(std::int64_t id) const;
    // A new open item; returns its id, one never given to an item before (on a file
    // made or brought over by the memo program).
    std::int64_t add(const ItemInput& input);
    // Each returns false when there is no item `id`.
    bool edit(std::int64_t id, const std::string& title, std::optional<DateTime> reminder);
    // Writes only the fields `change` holds, in one statement; other columns keep what
    // another program wrote meanwhile.
    bool change(std::int64_t id, const ItemChange& change);
    bool close(std::int64_t id);   // done (status 1)
    bool reopen(std::int64_t id);  // open again (status 0)
    bool remove(std::int64_t id);
    // The reminder one day later, same time of day.
    PostponeResult postpone(std::int64_t id);

    // The memo password, empty when none is set.
    std::string password() const;
    // Changes whenever another connection has written to the file since the last call.
    std::int64_t dataVersion() const;

private:
    bool setStatus(std::int64_t id, std::int64_t status);

    MemoDatabase& database_;
};

}  // namespace plumo
