#include "companion/core/screen_placement.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

// Two screens side by side, each with a 30-pixel panel at the bottom; the left one primary.
const ScreenArea kLeft{QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 670)};
const ScreenArea kRight{QRect(1000, 0, 1000, 700), QRect(1000, 0, 1000, 670)};
const QSize kHer(168, 93);

ScreenLayout bothScreens() { return {{kLeft, kRight}, 0}; }

QRect herAt(int x, int y) { return QRect(QPoint(x, y), kHer); }

TEST(ScreenPlacement, CentredOnAWorkArea) {
    // The middle pixel of an even length is the one left of (above) the middle.
    EXPECT_EQ(centredOn(kLeft.workArea, kHer), QPoint(499 - 84, 334 - 46));
    EXPECT_EQ(centredOn(kRight.workArea, kHer), QPoint(1499 - 84, 334 - 46));
}

TEST(ScreenPlacement, TheScreenHoldingMostOfHer) {
    EXPECT_EQ(screenHolding(bothScreens(), herAt(1200, 100)), 1);
    EXPECT_EQ(screenHolding(bothScreens(), herAt(1000 - 100, 100)), 0);  // 100 of 168 left
    EXPECT_EQ(screenHolding(bothScreens(), herAt(1000 - 60, 100)), 1);
    EXPECT_EQ(screenHolding(bothScreens(), herAt(2100, 100)), -1);
}

TEST(ScreenPlacement, DraggedAnywhereTheScreensCoverSheStays) {
    const ScreenLayout layout = bothScreens();
    for (const QRect& her : {herAt(1300, 200), herAt(1000 - 80, 200), herAt(1832, 607),
                             herAt(10, 600)})  // over the panel as well
        EXPECT_EQ(keptOnScreens(layout, her), her.topLeft());
}

TEST(ScreenPlacement, AScreenAddedMovesNothing) {
    ScreenLayout layout = bothScreens();
    layout.screens.push_back({QRect(2000, 0, 800, 600), QRect(2000, 0, 800, 600)});
    EXPECT_EQ(keptOnScreens(layout, herAt(1300, 200)), QPoint(1300, 200));
}

TEST(ScreenPlacement, HerScreenRemovedSheGoesCentredOnThePrimary) {
    const ScreenLayout leftOnly{{kLeft}, 0};
    EXPECT_EQ(keptOnScreens(leftOnly, herAt(1300, 200)), centredOn(kLeft.workArea, kHer));
}

TEST(ScreenPlacement, HangingOverAScreenThatWentSheMovesWhollyOntoTheOther) {
    const ScreenLayout leftOnly{{kLeft}, 0};
    EXPECT_EQ(keptOnScreens(leftOnly, herAt(1000 - 100, 200)), QPoint(1000 - 168, 200));
}

TEST(ScreenPlacement, HerScreenShrunkSheMovesTheLeastWayOntoIt) {
    ScreenLayout layout = bothScreens();
    layout.screens[1] = {QRect(1000, 0, 800, 600), QRect(1000, 0, 800, 570)};
    EXPECT_EQ(keptOnScreens(layout, herAt(1700, 550)), QPoint(1800 - 168, 570 - 93));
    EXPECT_EQ(keptOnScreens(layout, herAt(1700, 100)), QPoint(1800 - 168, 100));
    // Shrunk away from under her: no part of her on it, so back where she starts.
    EXPECT_EQ(keptOnScreens(layout, herAt(1850, 100)), centredOn(kLeft.workArea, kHer));
}

TEST(ScreenPlacement, ThePrimaryChangedSheStaysUntilHerScreenGoes) {
    ScreenLayout layout = bothScreens();
    layout.primary = 1;
    EXPECT_EQ(keptOnScreens(layout, herAt(100, 100)), QPoint(100, 100));
    // The left screen, hers, goes: the right one is the primary now.
    const ScreenLayout rightOnly{{kRight}, 0};
    EXPECT_EQ(keptOnScreens(rightOnly, herAt(100, 100)), centredOn(kRight.workArea, kHer));
}

TEST(ScreenPlacement, AWorkAreaSmallerThanSheIsTakesHerTopLeftCorner) {
    const ScreenLayout tiny{{{QRect(0, 0, 100, 80), QRect(0, 10, 100, 70)}}, 0};
    EXPECT_EQ(keptOnScreens(tiny, herAt(50, 50)), QPoint(0, 10));
}

TEST(ScreenPlacement, NoScreensLeaveHerWhereSheIs) {
    EXPECT_EQ(keptOnScreens(ScreenLayout{}, herAt(1300, 200)), QPoint(1300, 200));
}

}  // namespace
}  // namespace plumo
