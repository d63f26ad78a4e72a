#include "style/xp_colours.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace plumo {
namespace {

TEST(ColourArithmetic, DarkenTakesFromEveryChannelButLessFromGreen) {
    EXPECT_EQ(Darken(rgb(100, 100, 100), 30), rgb(70, 72, 70));
    EXPECT_EQ(Darken(rgb(10, 250, 5), 20), rgb(0, 232, 0));
    // A negative amount lightens, green by two more.
    EXPECT_EQ(Darken(rgb(100, 100, 100), -40), rgb(140, 142, 140));
    EXPECT_EQ(Darken(rgb(250, 250, 250), -40), rgb(255, 255, 255));
}

TEST(ColourArithmetic, LightenRoundsHalvesToEvenAndCapsThePercentage) {
    EXPECT_EQ(Lighten(rgb(250, 245, 235), 10), rgb(250, 246, 237));  // 0.5, 1.0, 2.0
    EXPECT_EQ(Lighten(rgb(245, 245, 245), 15), rgb(247, 247, 247));  // 1.5 goes up to 2
    EXPECT_EQ(Lighten(rgb(0, 0, 0), 68), rgb(173, 173, 173));        // 173.4
    EXPECT_EQ(Lighten(rgb(0, 0, 0), 90), rgb(230, 230, 230));        // 229.5 goes up to 230
    EXPECT_EQ(Lighten(rgb(0, 0, 0), 70), rgb(178, 178, 178));        // 178.5 stays at 178
    EXPECT_EQ(Lighten(rgb(12, 34, 56), 150), rgb(255, 255, 255));
}

TEST(ColourArithmetic, LightenGivesWhatAFifteenBitDisplayShows) {
    const TColor c = Lighten(rgb(10, 100, 200), 0, 15);
    EXPECT_EQ(c, rgb(8, 99, 198));
    EXPECT_EQ(NearestColour(c, 15), c);
    EXPECT_EQ(NearestColour(rgb(10, 100, 200), 24), rgb(10, 100, 200));
}

TEST(ColourArithmetic, GrayOfAveragesAddsTheLevelAndStopsAt240) {
    EXPECT_EQ(GrayOf(rgb(30, 60, 91), 10), rgb(70, 70, 70));
    EXPECT_EQ(GrayOf(rgb(255, 255, 255), 10), rgb(240, 240, 240));
    EXPECT_EQ(GrayOf(rgb(230, 231, 232), 10), rgb(240, 240, 240));
}

TEST(ColourArithmetic, TextOnKeepsTheFontColourOnLightBackgrounds) {
    const TColor font = rgb(1, 2, 3);
    EXPECT_EQ(TextOn(rgb(200, 0, 110), font), font);  // red and blue average 155
    EXPECT_EQ(TextOn(rgb(0, 201, 0), font), font);
    // An average of exactly 150 or green of exactly 200 is dark enough for a lighter text.
    EXPECT_EQ(TextOn(rgb(150, 0, 150), font), rgb(244, 230, 244));
    EXPECT_EQ(TextOn(rgb(0, 200, 128), font), rgb(230, 250, 242));
}

TEST(ColourArithmetic, SystemColoursAreResolvedBeforeArithmetic) {
    SystemColours system;
    system.set(clBtnFace, rgb(100, 100, 100));
    EXPECT_EQ(system.resolve(clBtnFace), rgb(100, 100, 100));
    EXPECT_EQ(Darken(system.resolve(clBtnFace), 30), rgb(70, 72, 70));
    EXPECT_EQ(system.resolve(rgb(1, 2, 3)), rgb(1, 2, 3));
}

TEST(ImageConversion, GreyAndDimKeepAlphaAndConvertEveryPixel) {
    std::array<std::uint32_t, 4> pixels = {0xFF1E3C5Bu, 0xFF1E3C5Bu, 0x80FFFFFFu, 0xFF000000u};
    GrayPixels(pixels.data(), pixels.size(), 10);
    EXPECT_EQ(pixels[0], 0xFF464646u);  // (30 + 60 + 91) / 3 + 10 = 70
    EXPECT_EQ(pixels[1], 0xFF464646u);
    EXPECT_EQ(pixels[2], 0x80F0F0F0u);
    EXPECT_EQ(pixels[3], 0xFF0A0A0Au);
    std::array<std::uint32_t, 3> dim = {0xFF000000u, 0xFF000000u, 0x00FAFAFAu};
    DimPixels(dim.data(), dim.size(), 90);
    EXPECT_EQ(dim[0], 0xFFE6E6E6u);
    EXPECT_EQ(dim[1], 0xFFE6E6E6u);
    EXPECT_EQ(dim[2], 0x00FEFEFEu);  // 250 + 4.5 rounds to 254
}

// Colours of a classic desktop: face (236, 233, 216), highlight (49, 106, 197),
// shadow (172, 168, 153).
TEST(ColourSetUp, SystemColoursAtHighColour) {
    const DerivedColours d =
        SetUpColours(MenuColourProperties{}, classicSystemColours(), 32, clMenuText);
    EXPECT_TRUE(d.highColour);
    EXPECT_EQ(d.itemBack, rgb(252, 252, 250));
    EXPECT_EQ(d.iconStrip, rgb(239, 237, 222));
    EXPECT_EQ(d.selectFill, rgb(189, 207, 236));
    EXPECT_EQ(d.selectBorder, rgb(49, 106, 197));
    EXPECT_EQ(d.checkFill, rgb(214, 225, 243));
    EXPECT_EQ(d.selectedCheckFill, rgb(152, 180, 226));
    EXPECT_EQ(d.disabledText, rgb(180, 177, 163));
    EXPECT_EQ(d.separator, rgb(193, 190, 179));
    EXPECT_EQ(d.menuBar, rgb(236, 233, 216));
    EXPECT_EQ(d.selectText, rgb(0, 0, 0));
    EXPECT_EQ(d.flatBorder, rgb(146, 145, 126));
    EXPECT_EQ(d.flatShadow, rgb(160, 159, 140));
}

TEST(ColourSetUp, SystemColoursAtFifteenBitsGiveAWhiteMenu) {
    const DerivedColours d =
        SetUpColours(MenuColourProperties{}, classicSystemColours(), 15, clMenuText);
    EXPECT_FALSE(d.highColour);
    EXPECT_EQ(d.itemBack, clWhite);
    EXPECT_EQ(d.selectFill, clWhite);
    EXPECT_EQ(d.checkFill, clWhite);
    EXPECT_EQ(d.iconStrip, rgb(236, 233, 216));
    EXPECT_EQ(d.menuBar, rgb(236, 233, 216));
    EXPECT_EQ(d.selectBorder, rgb(49, 106, 197));
    EXPECT_EQ(d.separator, rgb(172, 168, 153));
    EXPECT_EQ(d.flatBorder, rgb(172, 168, 153));
}

TEST(ColourSetUp, OwnColoursWhenSystemColoursAreOff) {
    MenuColourProperties p;
    p.UseSystemColors = false;
    p.Color = rgb(10, 20, 30);
    p.SelectColor = rgb(0, 0, 0);
    p.SelectFontColor = rgb(9, 9, 9);
    const DerivedColours high = SetUpColours(p, classicSystemColours(), 24, clMenuText);
    EXPECT_EQ(high.itemBack, rgb(10, 20, 30));
    EXPECT_EQ(high.selectFill, rgb(173, 173, 173));
    EXPECT_EQ(high.selectedCheckFill, rgb(128, 128, 128));  // 127.5 rounds to even
    EXPECT_EQ(high.selectText, rgb(9, 9, 9));
    EXPECT_EQ(high.disabledText, rgb(122, 150, 223));
    const DerivedColours low = SetUpColours(p, classicSystemColours(), 8, clMenuText);
    EXPECT_EQ(low.selectFill, rgb(0, 0, 0));
    EXPECT_EQ(low.checkFill, clWhite);
    EXPECT_EQ(low.selectedCheckFill, clSilver);
}

}  // namespace
}  // namespace plumo
