// datecn FROM [TO]: one line of Chinese calendar data per day, tab-separated UTF-8.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date_cn.h"
#include "calendar/date_cn_line.h"
#include "calendar/date_time.h"
#include "platform/clock.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

constexpr const char* kHelp =
    "Usage: datecn [FROM [TO]]\n"
    "Print the Chinese calendar of every day from FROM to TO inclusive (only FROM when TO\n"
    "is left out, today when both are). Dates are written YYYY-MM-DD and must lie within\n"
    "1901-01-01 to 2050-12-31.\n"
    "\n"
    "Each day is one line of tab-separated UTF-8 fields, in this order:\n"
    "  ISO date, lunar date code (month * 100 + day, negative in a leap month),\n"
    "  lunar month, lunar day, solar term, lunar festival, Gregorian festival,\n"
    "  year name (stem, branch and animal), star sign.\n"
    "A field with nothing to show is empty.\n"
    "\n"
    "A malformed date, a range that ends before it starts or a date outside the years\n"
    "1901 to 2050 is reported in one line on standard error with exit status 2; a\n"
    "failure to write the output gives exit status 1.\n"
    "\n"
    "  --help   show this text and exit\n";

constexpr plumo::DateTime kFirstDay = plumo::DateCn::kFirstDate;
constexpr plumo::DateTime kLastDay = plumo::DateCn::kLastDate;

struct UsageError {
    std::string message;
};

std::optional<UsageError> checkInRange(plumo::DateTime day, const std::string& what) {
    if (day >= kFirstDay && day <= kLastDay) return std::nullopt;
    return UsageError{what + " is outside the covered range " + plumo::formatIsoDate(kFirstDay) +
                      " to " + plumo::formatIsoDate(kLastDay)};
}

// The day an argument names, or the reason it names none.
std::optional<UsageError> parseDay(const std::string& argument, plumo::DateTime& day) {
    if (!argument.empty() && argument[0] == '-')
        return UsageError{"unknown option '" + argument + "' (see datecn --help)"};
    const std::optional<plumo::DateTime> parsed = plumo::parseIsoDate(argument);
    if (!parsed) return UsageError{"'" + argument + "' is not a valid date of the form YYYY-MM-DD"};
    day = *parsed;
    return checkInRange(day, "'" + argument + "'");
}

int fail(const UsageError& error) {
    std::fprintf(stderr, "datecn: %s\n", error.message.c_str());
    return kUsageError;
}

int printDays(plumo::DateTime from, plumo::DateTime to) {
    std::string buffer;
    buffer.reserve(1 << 16);
    for (plumo::DateTime day = from; day <= to; day += 1) {
        buffer += plumo::DateCn::DayLine(day);
        buffer += '\n';
        if (buffer.size() >= (1 << 16) - 256 || day + 1 > to) {
            if (std::fwrite(buffer.data(), 1, buffer.size(), stdout) != buffer.size()) break;
            buffer.clear();
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("datecn: cannot write the output");
        return kWriteError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    if (arguments.size() > 2)
        return fail({"too many arguments: expected FROM [TO] (see datecn --help)"});

    plumo::DateTime from = 0;
    plumo::DateTime to = 0;
    if (arguments.empty()) {
        from = to = plumo::dateOf(plumo::currentClock().now());
        if (auto error = checkInRange(from, "today, " + plumo::formatIsoDate(from) + ","))
            return fail(*error);
    } else {
        if (auto error = parseDay(arguments[0], from)) return fail(*error);
        to = from;
        if (arguments.size() == 2) {
            if (auto error = parseDay(arguments[1], to)) return fail(*error);
            if (to < from)
                return fail({"the range ends on '" + arguments[1] + "', before it starts on '" +
                             arguments[0] + "'"});
        }
    }
    return printDays(from, to);
}
