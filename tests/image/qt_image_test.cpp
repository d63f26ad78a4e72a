#include "image/qt_image.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

TEST(ToQImage, CopiesStraightAlphaPixels) {
    RgbaImage image{3, 2, {}};
    for (int i = 0; i < 6; ++i) {
        image.pixels.insert(image.pixels.end(), {std::uint8_t(i * 40), std::uint8_t(200 - i),
                                                 std::uint8_t(i), std::uint8_t(i * 50)});
    }
    const QImage converted = toQImage(image);
    ASSERT_FALSE(converted.isNull());
    EXPECT_EQ(converted.format(), QImage::Format_RGBA8888);
    EXPECT_EQ(converted.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const int i = y * 3 + x;
            EXPECT_EQ(converted.pixelColor(x, y), QColor(i * 40, 200 - i, i, i * 50))
                << x << "," << y;
        }
    }
    // A deep copy: the source may go away or change.
    image.pixels.assign(image.pixels.size(), 0);
    EXPECT_EQ(converted.pixelColor(2, 1), QColor(200, 195, 5, 250));
}

TEST(ToQImage, EmptyOrInconsistentImagesGiveANullImage) {
    EXPECT_TRUE(toQImage(RgbaImage{}).isNull());
    EXPECT_TRUE(toQImage(RgbaImage{2, 2, {1, 2, 3, 4}}).isNull());
}

}  // namespace
}  // namespace plumo
