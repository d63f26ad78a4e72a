#pragma once

// The companion's uses of the nine statements, each run on the one query object in
// the usual pattern (clear, set the text, open or execute, read the first row).
// Errors are not caught here: DatabaseError or ConversionError ends the caller's
// handler, which shows the error's text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "memo/memo_database.h"

namespace plumo {

struct DueItem {
    std::string title;
    std::int64_t id = 0;
};

std::int64_t countOpenPlans(MemoQuery& query);                       // 1: total
std::int64_t countOverdueReminders(MemoQuery& query, DateTime now);  // 2: total
std::optional<DueItem> findDueItem(MemoQuery& query, DateTime now);  // 3: first row
void closeItem(MemoQuery& query, std::int64_t id);                   // 4
void postponeItem(MemoQuery& query, std::int64_t id);                // 5
// 6: the first row's pwd, or empty when master has no row (an empty pwd reads the same).
std::string readStoredPassword(MemoQuery& query);
void removePassword(MemoQuery& query);                                           // 7
void changePassword(MemoQuery& query, std::string_view password, DateTime now);  // 8
void insertPassword(MemoQuery& query, std::string_view password, DateTime now);  // 9

}  // namespace plumo
