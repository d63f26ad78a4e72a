#pragma once

// The one date type shared by the calendar, the memo code and the companion:
// a count of days since 30 December 1899 in local time, the fraction being the
// time of day. Whole seconds survive a round trip exactly.

#include <cstdint>
#include <optional>
#include <string>

namespace plumo {

using DateTime = double;

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    bool operator==(const DateParts&) const = default;
};

struct TimeParts {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool operator==(const TimeParts&) const = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);  // 0 for a month outside 1..12
bool isValidDate(int year, int month, int day);
bool isValidTime(int hour, int minute, int second, int millisecond = 0);

// Days from 1899-12-30 to the given day; nullopt for a date that does not exist.
std::optional<DateTime> tryEncodeDate(int year, int month, int day);
std::optional<DateTime> tryEncodeDateTime(int year, int month, int day, int hour, int minute,
                                          int second, int millisecond = 0);
// Throwing forms, for values known to be valid.
DateTime encodeDate(int year, int month, int day);
DateTime encodeDateTime(int year, int month, int day, int hour, int minute, int second,
                        int millisecond = 0);
DateTime encodeTime(int hour, int minute, int second, int millisecond = 0);

// The day (integral part) and time of day, rounded to the millisecond.
DateParts decodeDate(DateTime value);
TimeParts decodeTime(DateTime value);
DateTime dateOf(DateTime value);  // midnight of the value's day

int dayOfWeek(DateTime value);      // Sunday = 1 ... Saturday = 7
int isoDayOfWeek(DateTime value);   // Monday = 1 ... Sunday = 7
int isoWeekNumber(DateTime value);  // 1..53
int dayOfYear(DateTime value);      // 1 January = 1

// "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS".
std::string formatIsoDate(DateTime value);
std::string formatIsoDateTime(DateTime value);
std::optional<DateTime> parseIsoDate(const std::string& text);
std::optional<DateTime> parseIsoDateTime(const std::string& text);

// Whole seconds. A second is counted from the date origin in local time.
inline constexpr std::int64_t kSecondsPerDay = 86'400;
// a / b rounded towards minus infinity.
std::int64_t floorDiv(std::int64_t a, std::int64_t b);
// The whole second a value lies in (the value rounded to the millisecond first).
std::int64_t secondOf(DateTime value);
// The value of the start of a second, encoded as encodeDateTime encodes it.
DateTime startOfSecond(std::int64_t second);
// A value rounded to the nearest whole second, as reminder times are stored.
DateTime wholeSecond(DateTime value);

// The local date and time of a Unix time, and back (seconds).
DateTime fromUnixTime(std::int64_t secondsSinceEpoch);
std::int64_t toUnixTime(DateTime localValue);

}  // namespace plumo
