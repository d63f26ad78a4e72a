#include "companion/companion_shape.h"

#include <gtest/gtest.h>
#include <QWidget>

#include "companion/skin_fixture.h"

namespace plumo {
namespace {

const QColor kRed(200, 40, 40);

// A window of 20 x 10 pixels with one picture over all of it, and what the shape gave to
// the window system in device pixels.
class DeviceShapeTest : public ::testing::Test {
protected:
    DeviceShapeTest() { window.setFixedSize(20, 10); }

    void cut(const QImage& shown, qreal ratio) {
        picture = shown;
        CompanionShape shape(
            &window,
            [this] {
                return std::vector<ShapeLayer>{{QRect(0, 0, 20, 10), &picture}};
            },
            [ratio] { return ratio; },
            [this](QWidget* target, const QRegion& region) {
                EXPECT_EQ(target, &window);
                deviceShape = region;
                ++deviceShapes;
                return true;
            });
        shape.update();
    }

    QWidget window;
    QImage picture;
    QRegion deviceShape;
    int deviceShapes = 0;
};

TEST_F(DeviceShapeTest, AtTwoDevicePixelsTheShapeFollowsTheDoubledPicture) {
    // A see-through corner of 9 device pixels, which no shape in window pixels can cut.
    QImage doubled = test::solidPicture(40, 20, kRed, true, 9);
    doubled.setDevicePixelRatio(2.0);
    cut(doubled, 2.0);
    EXPECT_EQ(deviceShapes, 1);
    EXPECT_EQ(deviceShape, QRegion(0, 0, 40, 20) - QRegion(0, 0, 9, 9));
    EXPECT_TRUE(deviceShape.contains(QPoint(9, 0)));
    EXPECT_FALSE(deviceShape.contains(QPoint(8, 8)));
    // Qt's own mask holds every window pixel with any of her in it.
    EXPECT_EQ(window.mask(), QRegion(0, 0, 20, 10) - QRegion(0, 0, 4, 4));
}

TEST_F(DeviceShapeTest, AtTwoDevicePixelsAPictureWithoutItsDoubleIsCutAsItIsDrawnEnlarged) {
    cut(test::solidPicture(20, 10, kRed, true, 5), 2.0);
    EXPECT_EQ(deviceShape, QRegion(0, 0, 40, 20) - QRegion(0, 0, 10, 10));
    EXPECT_EQ(window.mask(), QRegion(0, 0, 20, 10) - QRegion(0, 0, 5, 5));
}

TEST_F(DeviceShapeTest, AtOneDevicePixelOnlyTheMaskIsSet) {
    cut(test::solidPicture(20, 10, kRed, true, 5), 1.0);
    EXPECT_EQ(deviceShapes, 0);
    EXPECT_EQ(window.mask(), QRegion(0, 0, 20, 10) - QRegion(0, 0, 5, 5));
}

TEST(WindowShape, TheCoveringRegionHoldsEveryWindowPixelWithAnyDevicePixel) {
    EXPECT_EQ(coveringRegion(QRegion(3, 1, 2, 1), 2.0), QRegion(1, 0, 2, 1));
    EXPECT_EQ(coveringRegion(QRegion(2, 2, 2, 2), 2.0), QRegion(1, 1, 1, 1));
    EXPECT_EQ(coveringRegion(QRegion(0, 0, 2, 2), 1.5), QRegion(0, 0, 2, 2));
}

}  // namespace
}  // namespace plumo
