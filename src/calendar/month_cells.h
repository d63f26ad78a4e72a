#pragma once

// The month the calendar control shows, as records: which grid cell holds which day, the
// lunar text under each day with its colour, the week numbers of the rows, and the date a
// change of selection leads to. No painting.

#include <QColor>
#include <QPoint>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "base/date_time.h"

namespace plumo {

// What one day cell shows.
struct DayCell {
    int day = 0;
    bool hasDay = false;
    QString dayText;
    QString cnMonthText;
    QString cnDayText;
    QString lowerText;
    QColor dayColour;
    QColor lowerColour;
};

// The colours the records take.
struct DayCellColours {
    QColor date;         // the day number from Monday to Friday
    QColor cnDate;       // the lunar day under it
    QColor holiday;      // a festival of the Gregorian calendar
    QColor lunarHolDay;  // a solar term
    QColor cnHolDay;     // a festival of the lunar calendar
};

// Cells 1 to 42, row by row from Sunday to Saturday; cell i is at index i - 1.
using MonthCells = std::array<DayCell, 42>;
// The week-number texts of grid rows 1 to 6.
using WeekNumbers = std::array<QString, 6>;

// The grid position (column 1 to 7, row 1 to 6) of cell i.
QPoint cellPosition(int i);

// Fills the records of the month of `selectedDate` day by day and, on reaching the selected
// day, calls `onSelectedDay` with its grid position and its star sign. When a lookup
// fails, the days before it stay filled and the failure is thrown on.
void fillMonthCells(
    DateTime selectedDate, const DayCellColours& colours, MonthCells& cells, WeekNumbers& weekNums,
    const std::function<void(QPoint cell, const QString& constellation)>& onSelectedDay);

// The date in grid cell (column, row) of the month of `shown`; none for the week-number
// column, the weekday header and a cell without a day.
std::optional<DateTime> cellDate(const MonthCells& cells, DateTime shown, int column, int row);

// The day of `from` in `year` and `month`, or that month's last day when it is shorter
// (31 May -> 30 June); none when there is no such date.
std::optional<DateTime> dateKeepingDay(DateTime from, int year, int month);

}  // namespace plumo
