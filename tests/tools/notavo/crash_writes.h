#pragma once

// The writes of the crash writer, item by item, and the row each item must show after
// any number of them. Every write is one statement of a real write path:
//   1 add       (Notavo's command line)
//   2 postpone  (the companion's answer)
//   3 postpone  (Notavo's command line)
//   4 edit      (Notavo's window: title and reminder together)
//   5 close     (the companion's answer)
//   6 delete    (Notavo's command line; every third item only)

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "base/date_time.h"

namespace plumo::test::crash {

struct Row {
    std::string title;
    int flag = 0;
    int status = 0;
    std::int64_t reminderSecond = 0;  // seconds since the day count's origin
    bool operator==(const Row&) const = default;
};

inline int writesOf(int item) { return item % 3 == 0 ? 6 : 5; }

inline std::string titleOf(int item, bool edited) {
    return "item " + std::to_string(item) + (edited ? " edited" : "");
}

inline DateTime firstReminder(int item) {
    return encodeDateTime(2027, 1, 1, 0, 0, 0) + item / 1440.0;  // one minute apart
}

inline std::int64_t secondOf(DateTime value) { return std::llround(value * 86400.0); }

// The row of `item` once its first `writes` writes are done; nothing when it is absent.
inline std::optional<Row> rowAfter(int item, int writes) {
    if (writes <= 0 || writes >= 6) return std::nullopt;
    Row row;
    row.title = titleOf(item, writes >= 4);
    row.flag = item % 2;
    row.status = writes >= 5 ? 1 : 0;
    row.reminderSecond = secondOf(firstReminder(item)) + 86400 * std::min(writes - 1, 3);
    return row;
}

}  // namespace plumo::test::crash
