#pragma once

// The command line of datecn: datecn [FROM [TO]] or --help.

#include <string>
#include <vector>

#include "base/date_time.h"

namespace plumo {

struct DatecnRequest {
    enum class Kind { Help, Days, UsageError };
    Kind kind = Kind::Help;
    DateTime from = 0;  // Days: the first and the last day to print, both in the covered range
    DateTime to = 0;
    std::string error;  // UsageError: one line, without the program name
};

// What the arguments (without the program name) ask for; `today` stands in when no day is
// given.
DatecnRequest parseDatecnArguments(const std::vector<std::string>& arguments, DateTime today);

std::string datecnHelpText();

}  // namespace plumo
