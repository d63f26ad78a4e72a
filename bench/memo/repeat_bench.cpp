// Repeating items: the next date of each rule, and a whole roll forward in the memo file
// (close, then reopen at the next date in one transaction) among 100,000 items.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/date_time.h"
#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_schema.h"
#include "memo/memo_store.h"
#include "memo/repeat_store.h"

namespace {

using namespace plumo;

constexpr RepeatRule kRules[] = {RepeatRule::Daily,  RepeatRule::Workdays,
                                 RepeatRule::Weekly, RepeatRule::Monthly,
                                 RepeatRule::Yearly, RepeatRule::LunarYearly};

RepeatRule ruleOf(const benchmark::State& state) { return kRules[state.range(0)]; }

void nameRule(benchmark::State& state) {
    state.SetLabel(std::string(repeatRuleKeyword(ruleOf(state))));
}

// The lunar rule's worst case is a day 30 asked for just after its date: the search runs
// through nearly a whole lunar year.
void BM_NextOccurrence(benchmark::State& state) {
    const RepeatRule rule = ruleOf(state);
    const DateTime anchor = encodeDateTime(2024, 2, 9, 8, 0, 0);  // 腊月三十
    DateTime after = encodeDateTime(2026, 2, 20, 9, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(nextOccurrence(rule, anchor, after));
        after += 1.0 / 86'400;
    }
    nameRule(state);
}
BENCHMARK(BM_NextOccurrence)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// 100,000 items, every tenth repeating, in a temporary folder.
class RepeatingDatabase {
public:
    RepeatingDatabase() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "plumo-repeat-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        const auto file = folder_ / "d.ini";
        createMemoDatabase(file);
        database_ = MemoDatabase::open(file);
        ensureRepeatTable(*database_);
        MemoStore store(*database_);
        const DateTime start = encodeDateTime(2024, 1, 1, 0, 0, 0);
        sqlite3_exec(database_->connection(), "begin", nullptr, nullptr, nullptr);
        for (int i = 0; i < 100'000; ++i) {
            const DateTime reminder = start + (i * 317 % 31'536'000) / 86'400.0;
            const std::int64_t id = store.add({"item " + std::to_string(i), reminder, false});
            if (i % 10 == 0) setRepeatRule(*database_, id, kRules[i / 10 % 6]);
        }
        sqlite3_exec(database_->connection(), "commit", nullptr, nullptr, nullptr);
    }
    ~RepeatingDatabase() {
        database_.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    MemoDatabase& database() { return *database_; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<MemoDatabase> database_;
};

RepeatingDatabase& repeating() {
    static RepeatingDatabase database;
    return database;
}

// The roll alone: each time the same series (anchored on 腊月三十, two years before now)
// is set up again and closed, which is not counted.
void BM_RollForward(benchmark::State& state) {
    MemoDatabase& database = repeating().database();
    const RepeatRule rule = ruleOf(state);
    const std::int64_t id = 1 + 10 * state.range(0);
    const DateTime anchor = encodeDateTime(2024, 2, 9, 8, 0, 0);
    const DateTime now = encodeDateTime(2026, 2, 20, 9, 0, 0);
    int reopened = 0;
    for (auto _ : state) {
        state.PauseTiming();
        snoozeItem(database, id, anchor);
        setRepeatRule(database, id, rule);
        closeItem(database.query(), id);
        state.ResumeTiming();
        reopened += rollForward(database, id, now).next ? 1 : 0;
    }
    state.counters["reopened"] = benchmark::Counter(reopened, benchmark::Counter::kAvgIterations);
    nameRule(state);
}
BENCHMARK(BM_RollForward)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
