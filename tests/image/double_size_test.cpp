#include "image/double_size.h"

#include <gtest/gtest.h>

#include <string>

#include "image/gif_decoder.h"
#include "image/png_decoder.h"
#include "image/qt_image.h"

namespace plumo {
namespace {

QImage solid(int width, int height, const QColor& colour, int clearColumns) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < clearColumns; ++x) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

TEST(DoubleSize, TheFileBesideHasAtTwoBeforeTheExtension) {
    EXPECT_EQ(doubleSizeFile(QStringLiteral("/p/skin/g1")), QStringLiteral("/p/skin/g1@2x"));
    EXPECT_EQ(doubleSizeFile(QStringLiteral("/p/skin/i.gif")), QStringLiteral("/p/skin/i@2x.gif"));
    EXPECT_EQ(doubleSizeFile(QStringLiteral("/p.d/skin/set")), QStringLiteral("/p.d/skin/set@2x"));
}

TEST(DoubleSize, OnlyTheSamePictureAtExactlyTwiceTheSizeIsItsDouble) {
    const QColor red(200, 40, 40);
    const QImage picture = solid(40, 8, red, 3);
    EXPECT_TRUE(isDoubleOf(solid(80, 16, red, 6), picture));
    // Edges a pixel apart at the larger size are the same picture drawn anew.
    EXPECT_TRUE(isDoubleOf(solid(80, 16, red, 5), picture));
    EXPECT_FALSE(isDoubleOf(solid(80, 16, QColor(40, 40, 200), 6), picture));  // other colour
    EXPECT_FALSE(isDoubleOf(solid(80, 16, red, 12), picture));                 // other shape
    EXPECT_FALSE(isDoubleOf(solid(80, 17, red, 6), picture));
    EXPECT_FALSE(isDoubleOf(solid(40, 8, red, 3), picture));
    EXPECT_FALSE(isDoubleOf(solid(80, 16, red, 6), QImage()));
}

#ifdef PLUMO_SKIN_DIR
QString skinFile(const char* name) {
    return QString::fromUtf8(PLUMO_SKIN_DIR) + QLatin1Char('/') + QString::fromLatin1(name);
}
QImage skin(const char* name) { return toQImage(decodePngFile(skinFile(name).toStdString())); }

TEST(DoubleSize, EveryShippedPictureHasItsDoubleBesideIt) {
    for (const char* name : {"g1", "g2", "spop", "bpop", "menu", "set"}) {
        SCOPED_TRACE(name);
        const QImage picture = skin(name);
        const QImage doubled = readDoubleSizePicture(skinFile(name), picture);
        ASSERT_FALSE(doubled.isNull());
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
        EXPECT_EQ(doubled.deviceIndependentSize().toSize(), picture.size());
    }
    const GifAnimation eyes = decodeGifFile(skinFile("i.gif").toStdString());
    const GifAnimation doubledEyes = decodeGifFile(skinFile("i@2x.gif").toStdString());
    ASSERT_EQ(doubledEyes.frames.size(), eyes.frames.size());
    for (std::size_t i = 0; i < eyes.frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(doubledEyes.frames[i].delayMs, eyes.frames[i].delayMs);
        EXPECT_EQ(toQImage(doubledEyes.frames[i].image).size(),
                  toQImage(eyes.frames[i].image).size() * 2);
    }
}

TEST(DoubleSize, OneOutfitDoubledIsNotTheOther) {
    EXPECT_FALSE(isDoubleOf(skin("g2@2x"), skin("g1")));
    EXPECT_FALSE(isDoubleOf(skin("g1@2x"), skin("g2")));
}
#endif

}  // namespace
}  // namespace plumo
