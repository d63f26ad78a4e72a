#include "base/date_time.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace plumo {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Days from 0001-01-01 (proleptic Gregorian) to the given date, day 1 = 0.
constexpr std::int64_t daysFromCivil(int y, int m, int d) {
    // Howard Hinnant's algorithm, shifted so that March is the first month.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;  // days since 1970-01-01
}

DateParts civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400) + (m <= 2);
    return {y, m, d};
}

constexpr std::int64_t kEpochOffset = daysFromCivil(1899, 12, 30);  // negative: days before 1970

std::int64_t totalMilliseconds(DateTime value) {
    return std::llround(value * static_cast<double>(kMsPerDay));
}

}  // namespace

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::int64_t secondOf(DateTime value) { return floorDiv(totalMilliseconds(value), 1000); }

DateTime startOfSecond(std::int64_t second) {
    const std::int64_t day = floorDiv(second, kSecondsPerDay);
    return static_cast<double>(day) + static_cast<double>((second - day * kSecondsPerDay) * 1000) /
                                          static_cast<double>(kMsPerDay);
}

DateTime wholeSecond(DateTime value) {
    // Rounded to the nearest second first, so a value a hair below a second stays on it.
    const double seconds = std::round(value * static_cast<double>(kSecondsPerDay));
    return seconds / static_cast<double>(kSecondsPerDay);
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && day >= 1 && day <= daysInMonth(year, month);
}

bool isValidTime(int hour, int minute, int second, int millisecond) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           millisecond >= 0 && millisecond < 1000;
}

std::optional<DateTime> tryEncodeDate(int year, int month, int day) {
    if (!isValidDate(year, month, day)) return std::nullopt;
    return static_cast<DateTime>(daysFromCivil(year, month, day) - kEpochOffset);
}

std::optional<DateTime> tryEncodeDateTime(int year, int month, int day, int hour, int minute,
                                          int second, int millisecond) {
    if (!isValidDate(year, month, day) || !isValidTime(hour, minute, second, millisecond))
        return std::nullopt;
    const std::int64_t days = daysFromCivil(year, month, day) - kEpochOffset;
    const std::int64_t ms =
        ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

DateTime encodeDate(int year, int month, int day) {
    auto value = tryEncodeDate(year, month, day);
    if (!value) throw std::invalid_argument("invalid date");
    return *value;
}

DateTime encodeDateTime(int year, int month, int day, int hour, int minute, int second,
                        int millisecond) {
    auto value = tryEncodeDateTime(year, month, day, hour, minute, second, millisecond);
    if (!value) throw std::invalid_argument("invalid date or time");
    return *value;
}

DateTime encodeTime(int hour, int minute, int second, int millisecond) {
    if (!isValidTime(hour, minute, second, millisecond))
        throw std::invalid_argument("invalid time");
    const std::int64_t ms =
        ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

DateParts decodeDate(DateTime value) {
    const std::int64_t days = floorDiv(totalMilliseconds(value), kMsPerDay);
    return civilFromDays(days + kEpochOffset);
}

TimeParts decodeTime(DateTime value) {
    std::int64_t ms = totalMilliseconds(value);
    ms -= floorDiv(ms, kMsPerDay) * kMsPerDay;
    TimeParts t;
    t.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<int>(ms % 60);
    ms /= 60;
    t.minute = static_cast<int>(ms % 60);
    t.hour = static_cast<int>(ms / 60);
    return t;
}

DateTime dateOf(DateTime value) {
    return static_cast<double>(floorDiv(totalMilliseconds(value), kMsPerDay));
}

int dayOfWeek(DateTime value) {
    // 1899-12-30 was a Saturday (7).
    const std::int64_t days = static_cast<std::int64_t>(dateOf(value));
    return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

int isoDayOfWeek(DateTime value) {
    const int d = dayOfWeek(value);  // Sunday = 1
    return d == 1 ? 7 : d - 1;
}

int dayOfYear(DateTime value) {
    const DateParts p = decodeDate(value);
    return static_cast<int>(dateOf(value) - encodeDate(p.year, 1, 1)) + 1;
}

int isoWeekNumber(DateTime value) {
    // The week belongs to the year of its Thursday.
    const DateTime thursday = dateOf(value) - isoDayOfWeek(value) + 4;
    return (dayOfYear(thursday) - 1) / 7 + 1;
}

std::string formatIsoDate(DateTime value) {
    const DateParts p = decodeDate(value);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buf;
}

std::string formatIsoDateTime(DateTime value) {
    const TimeParts t = decodeTime(value);
    char buf[16];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", t.hour, t.minute, t.second);
    return formatIsoDate(value) + buf;
}

std::optional<DateTime> parseIsoDate(const std::string& text) {
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    return tryEncodeDate(y, m, d);
}

std::optional<DateTime> parseIsoDateTime(const std::string& text) {
    if (text.size() != 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto date = parseIsoDate(text.substr(0, 10));
    if (!date) return std::nullopt;
    for (std::size_t i : {11, 12, 14, 15, 17, 18})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const int h = std::stoi(text.substr(11, 2));
    const int mi = std::stoi(text.substr(14, 2));
    const int s = std::stoi(text.substr(17, 2));
    if (!isValidTime(h, mi, s)) return std::nullopt;
    return *date + encodeTime(h, mi, s);
}

DateTime fromUnixTime(std::int64_t secondsSinceEpoch) {
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&t, &local);
    return encodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec < 60 ? local.tm_sec : 59);
}

std::int64_t toUnixTime(DateTime localValue) {
    const DateParts d = decodeDate(localValue);
    const TimeParts t = decodeTime(localValue);
    std::tm local{};
    local.tm_year = d.year - 1900;
    local.tm_mon = d.month - 1;
    local.tm_mday = d.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

}  // namespace plumo
