#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

// Her screen is the right one of two, with a panel at its bottom.
const QRect kHerScreen(1000, 0, 1000, 700);
const QRect kHerWorkArea(1000, 0, 1000, 670);

TEST(MessageBoxPosition, ABoxOnHerScreenStaysWhereItIs) {
    EXPECT_EQ(messageBoxPosition(QRect(1400, 300, 200, 100), kHerScreen, kHerWorkArea),
              QPoint(1400, 300));
}

TEST(MessageBoxPosition, ABoxOnAnotherScreenIsCentredOnHerWorkArea) {
    EXPECT_EQ(messageBoxPosition(QRect(400, 300, 200, 100), kHerScreen, kHerWorkArea),
              QPoint(1499 - 100, 334 - 50));
    // Its middle decides: mostly on the other screen, it moves too.
    EXPECT_EQ(messageBoxPosition(QRect(850, 300, 200, 100), kHerScreen, kHerWorkArea),
              QPoint(1399, 284));
}

}  // namespace
}  // namespace plumo
