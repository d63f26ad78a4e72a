#include "calendar/month_cells.h"

#include <algorithm>
#include <string>
#include <utility>

#include "calendar/date_cn.h"

namespace plumo {
namespace {

const QColor kRed(255, 0, 0);

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QPoint cellPosition(int i) { return {(i - 1) % 7 + 1, (i - 1) / 7 + 1}; }

void fillMonthCells(
    DateTime selectedDate, const DayCellColours& colours, MonthCells& cells, WeekNumbers& weekNums,
    const std::function<void(QPoint cell, const QString& constellation)>& onSelectedDay) {
    const DateParts selected = decodeDate(selectedDate);
    for (auto& text : weekNums) text.clear();
    for (int i = 1; i <= int(cells.size()); ++i) {
        DayCell& cell = cells[i - 1];
        cell = DayCell{};
        cell.dayColour = (i % 7 == 0 || i % 7 == 1) ? kRed : colours.date;
    }

    const int first = dayOfWeek(encodeDate(selected.year, selected.month, 1));
    const int days = daysInMonth(selected.year, selected.month);
    int previousWeek = 0;
    std::size_t nextWeekSlot = 0;
    for (int d = 1; d <= days; ++d) {
        const int i = first + d - 1;
        const DateTime x = encodeDate(selected.year, selected.month, d);
        const int week = isoWeekNumber(x);
        if (week != previousWeek && nextWeekSlot < weekNums.size())
            weekNums[nextWeekSlot++] = QString::number(week);
        previousWeek = week;

        DayCell& cell = cells[i - 1];
        cell.day = d;
        cell.dayText = QString::number(d);
        cell.cnMonthText = fromUtf8(DateCn::CnMonthOfDate(x));
        cell.cnDayText = fromUtf8(DateCn::CnDayOfDate(x));
        if (cell.cnDayText == QStringLiteral("初一")) {
            cell.lowerText = cell.cnMonthText;
            cell.lowerColour = kRed;
        } else {
            cell.lowerText = cell.cnDayText;
            cell.lowerColour = colours.cnDate;
        }
        const std::pair<std::string, QColor> overrides[] = {
            {DateCn::HolidayOfDay(d, selectedDate), colours.holiday},
            {DateCn::SolarTermOfDate(x), colours.lunarHolDay},
            {DateCn::CnHolDayOfDate(x), colours.cnHolDay},
        };
        for (const auto& [text, colour] : overrides)
            if (!text.empty()) {
                cell.lowerText = fromUtf8(text);
                cell.lowerColour = colour;
            }

        if (d == selected.day)
            onSelectedDay(cellPosition(i), fromUtf8(DateCn::ConstellationOfDay(selected.day, x)));
        cell.hasDay = true;
    }
}

std::optional<DateTime> cellDate(const MonthCells& cells, DateTime shown, int column, int row) {
    if (column == 0 || row == 0) return std::nullopt;
    const DayCell& cell = cells[(row - 1) * 7 + column - 1];
    if (!cell.hasDay) return std::nullopt;
    const DateParts parts = decodeDate(shown);
    return encodeDate(parts.year, parts.month, cell.day);
}

std::optional<DateTime> dateKeepingDay(DateTime from, int year, int month) {
    const int day = std::min(decodeDate(from).day, daysInMonth(year, month));
    return tryEncodeDate(year, month, day);
}

}  // namespace plumo
