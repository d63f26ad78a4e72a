#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "tick_fixture.h"

namespace plumo {
namespace {

// A whole day of ticks, some of them late, over a few hundred memo items: every open
// item due that day is announced once, in its second or by the late tick that covers it.
using SimulatedDay = test::TickFixture;

TEST_F(SimulatedDay, ADayOfTicksAnnouncesEveryDueItemOnceAndNeverEarly) {
    std::mt19937 random(20240305);
    const DateTime day = encodeDate(2024, 3, 5);
    std::set<int> seconds;
    while (seconds.size() < 300) seconds.insert(static_cast<int>(random() % 86'400));

    std::map<QString, DateTime> expected;  // title -> reminder
    int n = 0;
    for (int second : seconds) {
        const DateTime reminder = day + second / 86'400.0;
        const std::string title = "item-" + std::to_string(++n);
        const int kind = n % 10;
        if (kind == 0) {
            addItem(title.c_str(), reminder, 1);  // already done
        } else if (kind == 1) {
            addItem(title.c_str(), reminder + 1);  // tomorrow
        } else {
            addItem(title.c_str(), reminder);
            expected[QString::fromStdString(title)] = reminder;
        }
    }
    raw->addItem("no reminder", 0, 0, test::kNoReminder);

    // One tick a second, but now and then a tick comes up to five seconds late, and
    // now and then two come within one second.
    int lateTicks = 0;
    for (double ms = 0; ms < 86'400'000.0;) {
        tickAt(day + ms / 86'400'000.0);
        const unsigned dice = random() % 100;
        if (dice < 3) {
            ms += 1000.0 * (2 + random() % 4);
            ++lateTicks;
        } else if (dice < 5) {
            ms += 400;
        } else {
            ms += 1000;
        }
    }
    ASSERT_GT(lateTicks, 1000);

    std::map<QString, int> announced;
    for (const auto& [when, text] : view.said) {
        if (!text.startsWith(QStringLiteral("item-"))) continue;
        ++announced[text];
        ASSERT_TRUE(expected.count(text)) << text.toStdString() << " should not be announced";
        const DateTime due = expected[text];
        EXPECT_GE(when, due - 0.0005 / 86'400) << text.toStdString() << " announced early";
        EXPECT_LE(when, due + 6.0 / 86'400) << text.toStdString() << " announced late";
    }
    for (const auto& [title, reminder] : expected)
        EXPECT_EQ(announced[title], 1) << title.toStdString();
    EXPECT_TRUE(boxes.errors.isEmpty());
}

}  // namespace
}  // namespace plumo
