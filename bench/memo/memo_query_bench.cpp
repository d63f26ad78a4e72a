// The per-tick due-item statement (assembly, translation, execution) and the overdue
// count on memo databases of growing size.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "base/date_time.h"
#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_schema.h"

namespace {

using namespace plumo;

DateTime benchNow() { return encodeDateTime(2026, 12, 7, 14, 30, 0); }

// A memo database with `items` rows: reminders spread over a year around now in whole
// seconds, one in ten without a reminder, one in five done, one in ten a plan.
class SeededDatabase {
public:
    explicit SeededDatabase(int items) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "plumo-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        const auto file = folder_ / "d.ini";
        createMemoDatabase(file);

        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "insert into log(title,flag,status,reminder) values(?,?,?,?)", -1,
                           &insert, nullptr);
        std::mt19937 random(42);
        std::uniform_int_distribution<int> secondOffset(-182 * 86400, 182 * 86400);
        std::uniform_int_distribution<int> percent(0, 99);
        const double start = benchNow();
        for (int i = 0; i < items; ++i) {
            const std::string title = "memo item " + std::to_string(i);
            sqlite3_bind_text(insert, 1, title.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 2, percent(random) < 10 ? 1 : 0);
            sqlite3_bind_int(insert, 3, percent(random) < 20 ? 1 : 0);
            if (percent(random) < 10)
                sqlite3_bind_null(insert, 4);
            else
                sqlite3_bind_double(insert, 4, start + secondOffset(random) / 86400.0);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        database_ = MemoDatabase::open(file);
    }
    ~SeededDatabase() {
        database_.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    MemoQuery& query() { return database_->query(); }
    std::filesystem::path file() const { return folder_ / "d.ini"; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<MemoDatabase> database_;
};

SeededDatabase& seeded(int items) {
    static std::map<int, std::unique_ptr<SeededDatabase>> databases;
    auto& slot = databases[items];
    if (!slot) slot = std::make_unique<SeededDatabase>(items);
    return *slot;
}

void BM_DueItemStatement(benchmark::State& state) {
    SeededDatabase& db = seeded(static_cast<int>(state.range(0)));
    DateTime now = benchNow();
    int found = 0;
    for (auto _ : state) {
        const auto item = findDueItem(db.query(), now);
        found += item ? 1 : 0;
        now += 1.0 / 86400.0;  // the next tick asks for the next second
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_DueItemStatement)->Arg(0)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_OverdueCount(benchmark::State& state) {
    SeededDatabase& db = seeded(static_cast<int>(state.range(0)));
    std::int64_t total = 0;
    for (auto _ : state) total = countOverdueReminders(db.query(), benchNow());
    state.counters["overdue"] = static_cast<double>(total);
}
BENCHMARK(BM_OverdueCount)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Opening as the companion does (tables only) and as the memo program does (with
// PRAGMA quick_check, which reads every page).
void BM_Open(benchmark::State& state) {
    SeededDatabase& db = seeded(static_cast<int>(state.range(0)));
    const auto integrity = state.range(1) ? IntegrityCheck::Quick : IntegrityCheck::None;
    for (auto _ : state) benchmark::DoNotOptimize(MemoDatabase::open(db.file(), integrity));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(db.file()));
}
BENCHMARK(BM_Open)
    ->ArgsProduct({{1000, 100000}, {0, 1}})
    ->ArgNames({"items", "quick_check"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
