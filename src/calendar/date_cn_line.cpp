#include "calendar/date_cn_line.h"

#include "calendar/date_cn.h"

namespace plumo::DateCn {
namespace {

void appendDigits(std::string& out, int value, int width) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 || n < width);
    while (n > 0) out += digits[--n];
}

}  // namespace

std::string DayLine(DateTime date) {
    const DateParts parts = decodeDate(date);
    std::string line;
    line.reserve(96);
    // The ISO date, written here rather than by formatIsoDate(): datecn prints tens of
    // thousands of lines and this keeps each one cheap. Covered years have four digits.
    appendDigits(line, parts.year, 4);
    line += '-';
    appendDigits(line, parts.month, 2);
    line += '-';
    appendDigits(line, parts.day, 2);
    const auto field = [&line](const std::string& text) {
        line += '\t';
        line += text;
    };
    field(std::to_string(LunarDateCode(date)));
    field(CnMonthOfDate(date));
    field(CnDayOfDate(date));
    field(SolarTermOfDate(date));
    field(CnHolDayOfDate(date));
    field(HolidayOfDay(parts.day, date));
    field(YearStemOfDate(date) + AnimalsYearOfDate(date));
    field(ConstellationOfDate(date));
    return line;
}

}  // namespace plumo::DateCn
