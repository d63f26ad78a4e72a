#pragma once

// The constant data behind the Chinese calendar lookups.

#include <array>
#include <cstdint>

namespace plumo::DateCn {

inline constexpr int kFirstYear = 1901;
inline constexpr int kLastYear = 2050;
inline constexpr int kYearCount = kLastYear - kFirstYear + 1;

// One record per Gregorian year, index year - 1901, describing the run of lunar months
// that starts with the month in progress on 1 January. Bytes from the most significant:
//   byte 0: bit 7 set = that month is the 12th (else the 11th); bits 6..0 = its day on
//           1 January;
//   bytes 1-2: month lengths of the run, bit 15 - k for the k-th month, 1 = 30 days;
//   byte 3: the month a leap month follows within the run, 0 = none.
extern const std::array<std::uint32_t, kYearCount> LunarInfo;

// One byte per Gregorian month, index (year - 1901) * 12 + month - 1: the first solar
// term of the month falls on day 15 - high nibble, the second on day 15 + low nibble.
extern const std::array<std::uint8_t, kYearCount * 12> SolarTermInfo;

}  // namespace plumo::DateCn
