#pragma once

// One day of the Chinese calendar as a line of tab-separated UTF-8 fields: ISO date,
// lunar date code, lunar month, lunar day, solar term, lunar festival, Gregorian
// festival, year name (stem, branch and animal), star sign. Empty fields stay empty.

#include <string>

#include "base/date_time.h"

namespace plumo::DateCn {

// The line without its line end.
std::string DayLine(DateTime date);

}  // namespace plumo::DateCn
