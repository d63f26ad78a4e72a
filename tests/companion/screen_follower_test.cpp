// On two offscreen screens side by side, 1000 x 700 each, the left one primary.

#include "companion/screen_follower.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "calendar/month_window.h"

namespace plumo {
namespace {

class ScreenFollowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::screens().size(), 2) << "run with the two-screen configuration";
        her.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        her.setFixedSize(168, 93);
    }
    // Qt reports a change of the screens; the follower acts once it has settled.
    static void screensChanged() {
        emit QGuiApplication::primaryScreen()->availableGeometryChanged(
            QGuiApplication::primaryScreen()->availableGeometry());
        QApplication::processEvents();
    }

    QWidget her;
};

TEST_F(ScreenFollowerTest, ReadsTheScreensAsQtListsThem) {
    const ScreenLayout layout = currentScreenLayout();
    ASSERT_EQ(layout.screens.size(), 2u);
    EXPECT_EQ(layout.screens[layout.primary].geometry, QRect(0, 0, 1000, 700));
    EXPECT_EQ(layout.screens[1 - layout.primary].geometry, QRect(1000, 0, 1000, 700));
}

TEST_F(ScreenFollowerTest, OnTheSecondScreenSheStays) {
    ScreenFollower follower(&her);
    her.move(1300, 200);
    her.show();
    screensChanged();
    EXPECT_EQ(her.pos(), QPoint(1300, 200));
}

TEST_F(ScreenFollowerTest, HangingOffTheScreensSheMovesWhollyOntoOne) {
    ScreenFollower follower(&her);
    her.move(1900, 200);
    her.show();
    screensChanged();
    EXPECT_EQ(her.pos(), QPoint(2000 - 168, 200));
}

TEST_F(ScreenFollowerTest, OffEveryScreenSheGoesCentredOnThePrimary) {
    ScreenFollower follower(&her);
    her.move(2500, 200);
    her.show();
    emit qApp->primaryScreenChanged(QGuiApplication::primaryScreen());
    QApplication::processEvents();
    EXPECT_EQ(her.pos(), QPoint(499 - 84, 349 - 46));
}

TEST_F(ScreenFollowerTest, TheCalendarOpensInTheCornerOfHerScreen) {
    her.move(1300, 200);
    her.show();
    QApplication::processEvents();
    ASSERT_EQ(her.screen()->geometry(), QRect(1000, 0, 1000, 700));
    TmonFrm calendar(QString(), &her);
    calendar.show();
    EXPECT_EQ(calendar.pos(), QPoint(2000 - 313 - 2, 700 - 253));
}

}  // namespace
}  // namespace plumo
