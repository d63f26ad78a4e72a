#pragma once

// The nine statements the companion issues on the memo database, assembled as
// text in the Jet dialect (see jet_dialect.h) from the values spliced into them.
// The current time is always passed in; nothing here reads the clock.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace plumo {

// T: "YYYY-mm-dd HH::nn::ss", every ':' of the pattern giving one separator,
// so 3 May 2011 14:07:09 reads "2011-05-03 14::07::09". Milliseconds are dropped.
std::string formatStatementTime(DateTime now);

// D, the text stored in master.created: "2011-5-3 14:07:09" (no leading zeros in the
// date, the hour without one); at midnight to the second the blank and time are left out.
std::string formatCreatedTime(DateTime now);

// P inside its double quotes: every '"' doubled, so any password is stored as typed.
std::string escapePasswordLiteral(std::string_view password);

std::string countOpenPlansStatement();                                         // 1
std::string countOverdueRemindersStatement(DateTime now);                      // 2
std::string dueItemStatement(DateTime now);                                    // 3
std::string closeItemStatement(std::int64_t id);                               // 4
std::string postponeItemStatement(std::int64_t id);                            // 5
std::string selectPasswordStatement();                                         // 6
std::string deletePasswordStatement();                                         // 7
std::string changePasswordStatement(std::string_view password, DateTime now);  // 8
std::string insertPasswordStatement(std::string_view password, DateTime now);  // 9

}  // namespace plumo
