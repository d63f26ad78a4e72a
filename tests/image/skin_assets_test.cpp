#include <string>

#include <gtest/gtest.h>

#include "image/gif_decoder.h"
#include "image/png_decoder.h"

namespace plumo {
namespace {

std::string skinFile(const std::string& name) { return std::string(PLUMO_SKIN_DIR) + "/" + name; }

TEST(SkinAssets, PngSkinsDecodeToTheirLayoutSizes) {
    struct Expected {
        const char* name;
        int width, height;
    };
    for (const Expected& skin :
         {Expected{"g1", 65, 91}, Expected{"g2", 65, 91}, Expected{"spop", 105, 91},
          Expected{"bpop", 105, 91}, Expected{"set", 208, 257}}) {
        SCOPED_TRACE(skin.name);
        const RgbaImage image = decodePngFile(skinFile(skin.name));
        EXPECT_EQ(image.width, skin.width);
        EXPECT_EQ(image.height, skin.height);
    }
    const RgbaImage menu = decodePngFile(skinFile("menu"));
    EXPECT_GT(menu.width, 0);
}

TEST(SkinAssets, OutfitsHaveSeeThroughAndSolidPixels) {
    for (const char* name : {"g1", "g2"}) {
        SCOPED_TRACE(name);
        const RgbaImage image = decodePngFile(skinFile(name));
        int clear = 0, solid = 0;
        for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
            clear += image.pixels[i] == 0;
            solid += image.pixels[i] == 255;
        }
        EXPECT_GT(clear, 0);
        EXPECT_GT(solid, 0);
    }
}

TEST(SkinAssets, EyePictureIsATransparentAnimation) {
    const GifAnimation eyes = decodeGifFile(skinFile("i.gif"));
    EXPECT_GE(eyes.frames.size(), 2u);
    for (const GifFrame& frame : eyes.frames) {
        EXPECT_GT(frame.delayMs, 0);
        bool anyTransparent = false;
        for (std::size_t i = 3; i < frame.image.pixels.size(); i += 4) {
            anyTransparent = anyTransparent || frame.image.pixels[i] == 0;
        }
        EXPECT_TRUE(anyTransparent);
    }
}

}  // namespace
}  // namespace plumo
