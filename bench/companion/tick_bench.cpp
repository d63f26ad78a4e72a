// What one tick of the companion costs with 100,000 memo items in the database, some of
// them repeating: one tick per simulated second, a few of them with an item due.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "companion/core/companion_tick.h"
#include "memo/memo_schema.h"
#include "memo/repeat_store.h"
#include "platform/clock.h"

namespace {

using namespace plumo;

class SteppingClock final : public Clock {
public:
    DateTime now() const override { return now_; }
    DateTime now_ = encodeDateTime(2024, 3, 5, 9, 0, 0);
};

class SilentBoxes final : public MessageBoxes {
public:
    void information(const QString&) override {}
    void error(const QString&) override {}
    bool question(const QString&, const QString&) override { return false; }
};

class NullView final : public CompanionView {
public:
    QString bubbleText() const override { return bubble; }
    void setBubbleText(const QString& text) override { bubble = text; }
    void showInfo() override {}
    void showCommandPanel() override { bubble.clear(); }
    bool isShown() const override { return true; }
    void toggleShown() override {}
    QString memoCaption() const override { return QStringLiteral("备忘录"); }
    void setMemoCaptions(const QString&) override {}
    QString answerCaption(AnswerItem) const override { return {}; }
    void setAnswerCaption(AnswerItem, const QString&) override {}
    bool answerVisible(AnswerItem) const override { return false; }
    void setAnswerVisible(AnswerItem, bool) override {}
    QString bubble;
};

// 100,000 items over a year of seconds, a tenth of them done, some without a reminder.
void seed(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "insert into log(title,flag,status,reminder) values(?1,?2,?3,?4)", -1,
                       &insert, nullptr);
    const DateTime start = encodeDateTime(2024, 1, 1, 0, 0, 0);
    for (int i = 0; i < 100'000; ++i) {
        const std::string title = "item " + std::to_string(i);
        sqlite3_bind_text(insert, 1, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, i % 7 == 0);
        sqlite3_bind_int(insert, 3, i % 10 == 0);
        if (i % 13 == 0)
            sqlite3_bind_null(insert, 4);
        else
            sqlite3_bind_double(insert, 4, start + (i * 317 % 31'536'000) / 86'400.0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Every twentieth item with a reminder repeats, by each rule in turn.
void addRepeatRules(MemoDatabase& database) {
    constexpr RepeatRule kRules[] = {RepeatRule::Daily,  RepeatRule::Workdays,
                                     RepeatRule::Weekly, RepeatRule::Monthly,
                                     RepeatRule::Yearly, RepeatRule::LunarYearly};
    ensureRepeatTable(database);
    sqlite3_exec(database.connection(), "begin", nullptr, nullptr, nullptr);
    for (int i = 1; i < 100'000; i += 20) setRepeatRule(database, i, kRules[i / 20 % 6]);
    sqlite3_exec(database.connection(), "commit", nullptr, nullptr, nullptr);
}

void BM_OneTick(benchmark::State& bench) {
    char folder[] = "/tmp/plumo-tick-bench-XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("no temporary folder");
    const std::filesystem::path file = std::filesystem::path(folder) / "d.ini";
    createMemoDatabase(file);
    seed(file);
    {
        auto database = MemoDatabase::open(file);
        addRepeatRules(*database);
        bench.counters["repeating"] = static_cast<double>(repeatSeries(*database).size());
        SteppingClock clock;
        Clock* previous = setCurrentClock(&clock);
        CompanionState state;
        state.timeset = QStringLiteral("on");
        state.soundset = QStringLiteral("2");
        state.overduechecked = true;
        NullView view;
        SilentBoxes boxes;
        CompanionTick tick(state, view, *database, nullptr, boxes);
        for (auto _ : bench) {
            clock.now_ += 1.0 / 86'400;
            tick.tick();
        }
        setCurrentClock(previous);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OneTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
