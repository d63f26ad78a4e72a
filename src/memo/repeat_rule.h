#pragma once

// Repeat rules of memo items: which dates a repeating reminder falls on. A series is
// anchored to the first date and time the user chose; every occurrence keeps the
// anchor's time of day, and a postponed or late occurrence never shifts the series.

#include <optional>
#include <string_view>

#include "base/date_time.h"

namespace plumo {

enum class RepeatRule {
    Daily,        // 每天
    Workdays,     // 每个工作日: Monday to Friday
    Weekly,       // 每周: the anchor's weekday
    Monthly,      // 每月: the anchor's day, or the month's last day when it has fewer
    Yearly,       // 每年: the anchor's date; 29 February falls on 28 February otherwise
    LunarYearly,  // 每年（农历）: the anchor's lunar month (the regular one) and day
};

// The command line's words: "daily", "workdays", "weekly", "monthly", "yearly",
// "lunar-yearly"; also the text stored in the memo file.
std::string_view repeatRuleKeyword(RepeatRule rule);
std::optional<RepeatRule> repeatRuleFromKeyword(std::string_view keyword);
// What the user reads: "每天", "每个工作日", "每周", "每月", "每年", "每年（农历）".
std::string_view repeatRuleCaption(RepeatRule rule);

// The first occurrence of the series anchored at `anchor` that lies strictly after
// `after` (the anchor itself is the series' first occurrence), in whole seconds; nullopt
// when the series has none left (a lunar series past the calendar's last year, or an
// anchor outside its range).
std::optional<DateTime> nextOccurrence(RepeatRule rule, DateTime anchor, DateTime after);

}  // namespace plumo
