#include "calendar/datecn_arguments.h"

#include <optional>

#include "calendar/date_cn.h"

namespace plumo {
namespace {

constexpr DateTime kFirstDay = DateCn::kFirstDate;
constexpr DateTime kLastDay = DateCn::kLastDate;

std::optional<std::string> checkInRange(DateTime day, const std::string& what) {
    if (day >= kFirstDay && day <= kLastDay) return std::nullopt;
    return what + " is outside the covered range " + formatIsoDate(kFirstDay) + " to " +
           formatIsoDate(kLastDay);
}

// The day an argument names, or the reason it names none.
std::optional<std::string> parseDay(const std::string& argument, DateTime& day) {
    if (!argument.empty() && argument[0] == '-')
        return "unknown option '" + argument + "' (see datecn --help)";
    const std::optional<DateTime> parsed = parseIsoDate(argument);
    if (!parsed) return "'" + argument + "' is not a valid date of the form YYYY-MM-DD";
    day = *parsed;
    return checkInRange(day, "'" + argument + "'");
}

DatecnRequest usageError(std::string message) {
    DatecnRequest request;
    request.kind = DatecnRequest::Kind::UsageError;
    request.error = std::move(message);
    return request;
}

}  // namespace

DatecnRequest parseDatecnArguments(const std::vector<std::string>& arguments, DateTime today) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") return {};
    }
    if (arguments.size() > 2)
        return usageError("too many arguments: expected FROM [TO] (see datecn --help)");

    DatecnRequest request;
    request.kind = DatecnRequest::Kind::Days;
    if (arguments.empty()) {
        request.from = request.to = dateOf(today);
        if (auto error = checkInRange(request.from, "today, " + formatIsoDate(request.from) + ","))
            return usageError(*error);
        return request;
    }
    if (auto error = parseDay(arguments[0], request.from)) return usageError(*error);
    request.to = request.from;
    if (arguments.size() == 2) {
        if (auto error = parseDay(arguments[1], request.to)) return usageError(*error);
        if (request.to < request.from)
            return usageError("the range ends on '" + arguments[1] + "', before it starts on '" +
                              arguments[0] + "'");
    }
    return request;
}

std::string datecnHelpText() {
    return "Usage: datecn [FROM [TO]]\n"
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
}

}  // namespace plumo
