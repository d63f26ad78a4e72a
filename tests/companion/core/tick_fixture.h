#pragma once

// A companion tick over a real memo database in a program folder of its own, with a
// fake clock, a recording player, recording message boxes and a recording view.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "companion/core/companion_tick.h"
#include "memo/memo_schema.h"
#include "memo/notavo_process.h"
#include "sound/recording_player.h"
#include "support/fake_clock.h"
#include "support/fake_companion_view.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo::test {

// Remembers what she said and when.
class SayingView : public FakeCompanionView {
public:
    void showInfo() override {
        said.emplace_back(currentClock().now(), bubble);
        FakeCompanionView::showInfo();
    }
    std::vector<std::pair<DateTime, QString>> said;
};

class TickFixture : public ::testing::Test {
protected:
    TickFixture() {
        std::filesystem::create_directories(dir / "config");
        createMemoDatabase(dir / "config/d.ini");
        raw = std::make_unique<RawConnection>(dir / "config/d.ini");
        database = MemoDatabase::open(dir / "config/d.ini");
        state.apppath = QString::fromStdString(dir.path().string()) + QLatin1Char('/');
        state.timeset = QStringLiteral("on");
        state.soundset = QStringLiteral("0");
        state.overduechecked = true;  // start-up took the count
        tick = std::make_unique<CompanionTick>(state, view, *database, &player, boxes);
    }

    static DateTime at(int h, int m, int s, int day = 5) {
        return encodeDateTime(2024, 3, day, h, m, s);
    }
    void tickAt(DateTime when) {
        clock.set(when);
        tick->tick();
    }
    // One tick in every second from `from` to `to`, both included.
    void tickEverySecond(DateTime from, DateTime to) {
        for (DateTime t = from; t <= to + 0.5 / 86400; t += 1.0 / 86400) tickAt(t);
    }
    std::int64_t addItem(const char* title, DateTime reminder, int status = 0) {
        return raw->addItem(title, 0, status, reminder);
    }
    // The sounds played, relative to the program folder.
    QStringList played() const {
        QStringList relative;
        for (QString path : player.played) relative << path.remove(state.apppath);
        return relative;
    }
    QStringList saidTexts() const {
        QStringList texts;
        for (const auto& [when, text] : view.said) texts << text;
        return texts;
    }

    TempDir dir;
    FakeClock clock{encodeDateTime(2024, 3, 5, 9, 0, 0)};
    std::unique_ptr<RawConnection> raw;
    std::unique_ptr<MemoDatabase> database;
    CompanionState state;
    SayingView view;
    RecordingPlayer player;
    RecordingMessageBoxes boxes;
    std::unique_ptr<CompanionTick> tick;
};

}  // namespace plumo::test
