// Speed of the Chinese calendar lookups: the whole covered range as datecn prints it,
// and the lookups the calendar control makes when it shows one month.

#include <benchmark/benchmark.h>

#include <string>

#include "base/date_time.h"
#include "calendar/date_cn.h"
#include "calendar/date_cn_line.h"

namespace {

using namespace plumo;

constexpr DateTime kFirstDay = DateCn::kFirstDate;
constexpr DateTime kLastDay = DateCn::kLastDate;

// All nine fields of every day from 1901 to 2050.
void BM_WholeRangeLookups(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (DateTime day = kFirstDay; day <= kLastDay; day += 1) {
            const DateParts parts = decodeDate(day);
            bytes += std::to_string(DateCn::LunarDateCode(day)).size();
            bytes += DateCn::CnMonthOfDate(day).size();
            bytes += DateCn::CnDayOfDate(day).size();
            bytes += DateCn::SolarTermOfDate(day).size();
            bytes += DateCn::CnHolDayOfDate(day).size();
            bytes += DateCn::HolidayOfDay(parts.day, day).size();
            bytes += DateCn::YearStemOfDate(day).size();
            bytes += DateCn::AnimalsYearOfDate(day).size();
            bytes += DateCn::ConstellationOfDate(day).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLastDay - kFirstDay + 1));
}
BENCHMARK(BM_WholeRangeLookups)->Unit(benchmark::kMillisecond);

// The same range formatted into the lines datecn writes.
void BM_WholeRangeLines(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (DateTime day = kFirstDay; day <= kLastDay; day += 1)
            bytes += DateCn::DayLine(day).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLastDay - kFirstDay + 1));
}
BENCHMARK(BM_WholeRangeLines)->Unit(benchmark::kMillisecond);

// What the calendar control asks when it shows a month: the selected date's lunar texts,
// year name and star sign, and for every day its lunar month and day, Gregorian festival,
// solar term and lunar festival. February 2034 starts in a leap month's wake; January 2034
// lies in one.
void BM_OneMonthOfTheControl(benchmark::State& state) {
    const DateTime selected = encodeDate(2034, static_cast<int>(state.range(0)), 12);
    const DateParts parts = decodeDate(selected);
    for (auto _ : state) {
        std::size_t bytes = 0;
        bytes += DateCn::CnMonthOfDate(selected).size() + DateCn::CnDayOfDate(selected).size();
        bytes += DateCn::YearStemOfDate(selected).size();
        bytes += DateCn::AnimalsYearOfDate(selected).size();
        for (int d = 1; d <= daysInMonth(parts.year, parts.month); ++d) {
            const DateTime day = encodeDate(parts.year, parts.month, d);
            bytes += DateCn::CnMonthOfDate(day).size() + DateCn::CnDayOfDate(day).size();
            bytes += DateCn::HolidayOfDay(d, selected).size();
            bytes += DateCn::SolarTermOfDate(day).size();
            bytes += DateCn::CnHolDayOfDate(day).size();
            if (d == parts.day) bytes += DateCn::ConstellationOfDay(d, day).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_OneMonthOfTheControl)->Arg(1)->Arg(2)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace
