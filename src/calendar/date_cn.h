#pragma once

// Chinese calendar lookups for the Gregorian years 1901 to 2050: the lunar date, its
// names, festivals, solar terms, the name of the lunar year and the Western star sign.
// Every function is pure and takes the shared date-time value (only its date part is
// used). Texts are UTF-8; an empty text means nothing falls on that day, and every name
// of the lunar calendar (month, day, festival, year name) of a date outside 1901 to 2050
// is empty.

#include <string>

#include "base/date_time.h"

namespace plumo::DateCn {

// The first and last day of the covered range, 1901-01-01 and 2050-12-31.
inline constexpr DateTime kFirstDate = 367.0;
inline constexpr DateTime kLastDate = 55153.0;

// month * 100 + day for a day of an ordinary month (410 = 10th day of the 4th month),
// -(month * 100 + day) for a day of a leap month, 0 outside 1901 to 2050.
int LunarDateCode(DateTime date);

// "正月" ... "腊月" for an ordinary month, "闰" + month character for a leap month ("闰四").
std::string CnMonthOfDate(DateTime date);
// "初一" ... "三十".
std::string CnDayOfDate(DateTime date);
// 1 January = 1.
int DayOfYear(DateTime date);

// 1 ("小寒") to 24 ("冬至") when a solar term falls on the given day, else 0 (also for a
// day outside 1901 to 2050).
int SolarTermIndex(int year, int month, int day);
std::string SolarTermOfDate(DateTime date);
std::string SolarTermName(int index);  // empty outside 1..24

// The lunar festival ("春节", "端午节", ..., "除夕"); never a day of a leap month.
std::string CnHolDayOfDate(DateTime date);
// The Gregorian festival of day `day` in the year and month of `date`.
std::string HolidayOfDay(int day, DateTime date);

// Earthly branch and zodiac animal ("卯兔") and heavenly stem ("辛") of the lunar year;
// days before the lunar new year belong to the previous year.
std::string AnimalsYearOfDate(DateTime date);
std::string YearStemOfDate(DateTime date);

// The Western star sign ("水瓶座").
std::string ConstellationOfDate(DateTime date);
// The star sign of day `day` in the year and month of `date`; empty for a day the month
// does not have.
std::string ConstellationOfDay(int day, DateTime date);

}  // namespace plumo::DateCn
