#include "image/rgba_image.h"

#include <cmath>

#include <gtest/gtest.h>

namespace plumo {
namespace {

RgbaImage onePixel(int r, int g, int b, int a) {
    return RgbaImage{1, 1, {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), std::uint8_t(a)}};
}

std::vector<int> blended(int r, int g, int b, int a, int br, int bg, int bb) {
    const RgbaImage out =
        blendOnto(onePixel(r, g, b, a), std::uint8_t(br), std::uint8_t(bg), std::uint8_t(bb));
    return {out.pixels[0], out.pixels[1], out.pixels[2], out.pixels[3]};
}

TEST(BlendOnto, EndsOfTheAlphaRange) {
    // Fully transparent pixels become exactly the key colour, opaque ones stay exactly as drawn.
    EXPECT_EQ(blended(10, 250, 77, 0, 192, 220, 192), (std::vector<int>{192, 220, 192, 255}));
    EXPECT_EQ(blended(10, 250, 77, 255, 192, 220, 192), (std::vector<int>{10, 250, 77, 255}));
    EXPECT_EQ(blended(192, 220, 192, 255, 0, 0, 0), (std::vector<int>{192, 220, 192, 255}));
}

TEST(BlendOnto, RoundsToNearestForEveryAlpha) {
    const int sources[] = {0, 1, 100, 128, 200, 254, 255};
    const int backgrounds[] = {0, 50, 192, 220, 255};
    for (int alpha = 0; alpha <= 255; ++alpha) {
        for (int source : sources) {
            for (int background : backgrounds) {
                const long expected =
                    std::lround((source * alpha + background * (255.0 - alpha)) / 255.0);
                const auto out = blended(source, source, source, alpha, background, 0, 255);
                ASSERT_EQ(out[0], expected) << source << " over " << background << " at " << alpha;
                ASSERT_EQ(out[3], 255);
            }
        }
    }
    // Hand-worked: (200*100 + 50*155) / 255 = 108.8
    EXPECT_EQ(blended(200, 0, 0, 100, 50, 0, 0)[0], 109);
}

TEST(BlendOnto, KeepsSizeAndPixelOrder) {
    const RgbaImage image{2, 1, {255, 0, 0, 255, 0, 0, 255, 0}};
    const RgbaImage out = blendOnto(image, 1, 2, 3);
    EXPECT_EQ(out.width, 2);
    EXPECT_EQ(out.height, 1);
    EXPECT_EQ(out.pixels, (std::vector<std::uint8_t>{255, 0, 0, 255, 1, 2, 3, 255}));
    EXPECT_TRUE(blendOnto(RgbaImage{}, 1, 2, 3).pixels.empty());
}

TEST(ImageSizeLimits, RefusesEmptyAndOversizedImages) {
    EXPECT_NO_THROW(checkImageSize("x", 1, 1));
    EXPECT_NO_THROW(checkImageSize("x", kMaxImageSide, kMaxImageBytes / 4 / kMaxImageSide));
    EXPECT_THROW(checkImageSize("x", 0, 10), ImageError);
    EXPECT_THROW(checkImageSize("x", kMaxImageSide + 1, 1), ImageError);
    EXPECT_THROW(checkImageSize("x", kMaxImageSide, kMaxImageBytes / 4 / kMaxImageSide + 1),
                 ImageError);
    try {
        checkImageSize("skin/set", 20000, 30);
        ADD_FAILURE();
    } catch (const ImageError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("skin/set: image is too large (20000x30)", 0),
                  0u);
        EXPECT_EQ(error.fileName(), "skin/set");
    }
}

}  // namespace
}  // namespace plumo
