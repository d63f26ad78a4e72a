#pragma once

// The memo items as the memo program's window sees and changes them. Every change is
// written at once as one statement of its own, touching only the columns it changes,
// so an item closed or postponed meanwhile by the companion keeps that change.

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace plumo::notavo {

struct MemoItem {
    std::int64_t id = 0;
    std::string title;
    bool plan = false;
    bool done = false;
    std::optional<DateTime> reminder;  // whole seconds
};

// What the user enters for an item.
struct ItemInput {
    std::string title;
    std::optional<DateTime> reminder;
    bool plan = false;
};

class MemoItems {
public:
    explicit MemoItems(sqlite3* connection) : db_(connection) {}

    // Open items first, then done ones; each by reminder time (undated last), then by id.
    std::vector<MemoItem> list() const;
    std::int64_t add(const ItemInput& input);
    // Each returns false when the item no longer exists. Errors throw DatabaseError.
    bool edit(std::int64_t id, const std::string& title, std::optional<DateTime> reminder);
    bool setDone(std::int64_t id, bool done);
    bool remove(std::int64_t id);
    // One day later, same time of day; false when there is no such item with a reminder.
    bool postpone(std::int64_t id);
    // The memo password, empty when none is set.
    std::string password() const;
    // Changes whenever another connection has written to the file since the last call.
    std::int64_t dataVersion() const;

private:
    sqlite3* db_;
};

}  // namespace plumo::notavo
