#include "calendar/date_cn_line.h"

#include "calendar/date_cn.h"

namespace plumo::DateCn {

std::string DayLine(DateTime date) {
    const DateParts parts = decodeDate(date);
    std::string line = formatIsoDate(date);
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
