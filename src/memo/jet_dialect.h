#pragma once

// Translation of the Jet (Access) statement dialect that the companion assembles
// into SQL that SQLite runs.
//
//   #2011-05-03 14::07::09#   a date-time literal; runs of ':' separate the time fields
//   "text"                    a text literal; "" inside stands for one double quote
//   x = null, x <> null       become x IS NULL, x IS NOT NULL
//   x <op> #...#              compares x to the second: a stored value counts as the
//                             second it rounds to, so values a rounding step apart from
//                             the literal still compare equal
//   [name], `name`            one name, whatever it holds
//
// Everything else (count(id) as total, reminder+1, single-quoted text) is shared by
// both dialects and passes through unchanged.

#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

namespace plumo {

// Throws DatabaseError with the reason for a statement it cannot read
// (an unterminated literal, a date that does not exist, text after the end).
std::string translateJetStatement(std::string_view jetStatement);
// The same, with the numbers that date literals stand for left out of the text as
// parameters ?1, ?2 ... and appended to `parameters` in that order: statements that differ
// only in their dates then share one text, prepared once.
std::string translateJetStatement(std::string_view jetStatement, std::vector<double>* parameters);

// Names in statements (keywords, columns) compare without regard to ASCII letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The date-time value a Jet date literal body (the text between the '#') names.
// Throws DatabaseError when it names none.
DateTime parseJetDateLiteral(std::string_view body);

}  // namespace plumo
