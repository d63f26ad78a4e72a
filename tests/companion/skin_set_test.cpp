#include "companion/skin_set.h"

#include <gtest/gtest.h>

#include "companion/skin_fixture.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

class DoubleSizeSkinTest : public ::testing::Test {
protected:
    DoubleSizeSkinTest() {
        test::writeSkinFolder(folder.path());
        test::writeDoubleSizeSkins(folder.path());
    }
    QString skinFolder() const { return QString::fromStdString((folder / "skin/").string()); }
    std::vector<const QImage*> pictures() const {
        return {&skins.pngg1, &skins.pngg2, &skins.pngspop, &skins.pngbpop, &skins.pngmenu};
    }

    test::TempDir folder;
    SkinSet skins;
};

TEST_F(DoubleSizeSkinTest, AtTwoDevicePixelsThePicturesAtTwiceTheSizeAreTaken) {
    skins.load(skinFolder(), 2.0);
    EXPECT_TRUE(skins.errors().isEmpty()) << skins.errors().join(QLatin1Char('\n')).toStdString();
    for (const QImage* picture : pictures()) {
        EXPECT_EQ(picture->devicePixelRatio(), 2.0);
        EXPECT_EQ(picture->size(), picture->deviceIndependentSize().toSize() * 2);
    }
    EXPECT_EQ(skins.pngg1.deviceIndependentSize().toSize(), QSize(65, 91));
    ASSERT_EQ(skins.eyeFrames.size(), 3u);
    for (const PictureFrame& frame : skins.eyeFrames) {
        EXPECT_EQ(frame.image.devicePixelRatio(), 2.0);
        EXPECT_EQ(frame.image.size(), QSize(98, 28));
    }
    EXPECT_EQ(skins.eyeSize, QSize(49, 14));
}

TEST_F(DoubleSizeSkinTest, AtOneDevicePixelThePicturesStayAtTheirOwnSize) {
    skins.load(skinFolder(), 1.0);
    for (const QImage* picture : pictures()) EXPECT_EQ(picture->devicePixelRatio(), 1.0);
    EXPECT_EQ(skins.pngg1.size(), QSize(65, 91));
    EXPECT_EQ(skins.eyeFrames.at(0).image.size(), QSize(49, 14));
}

TEST_F(DoubleSizeSkinTest, ADoubleOfTheOtherOutfitIsPassedOver) {
    // The 1x outfits traded places without their doubles (an outfit change cut short).
    std::filesystem::rename(folder / "skin/g1", folder / "skin/g");
    std::filesystem::rename(folder / "skin/g2", folder / "skin/g1");
    std::filesystem::rename(folder / "skin/g", folder / "skin/g2");
    skins.load(skinFolder(), 2.0);
    EXPECT_EQ(skins.pngg1.devicePixelRatio(), 1.0);
    EXPECT_EQ(QColor(skins.pngg1.pixel(30, 50)), test::SkinColours{}.g2);
    EXPECT_EQ(skins.pngg2.devicePixelRatio(), 1.0);
    EXPECT_EQ(skins.pngspop.devicePixelRatio(), 2.0);
}

TEST_F(DoubleSizeSkinTest, AMissingOrBrokenDoubleLeavesThePictureAndIsNoError) {
    std::filesystem::remove(folder / "skin/g1@2x");
    folder.write("skin/spop@2x", "not a picture");
    folder.write("skin/i@2x.gif", "not a picture");
    skins.load(skinFolder(), 2.0);
    EXPECT_TRUE(skins.errors().isEmpty());
    EXPECT_EQ(skins.pngg1.devicePixelRatio(), 1.0);
    EXPECT_EQ(skins.pngg1.size(), QSize(65, 91));
    EXPECT_EQ(skins.pngspop.devicePixelRatio(), 1.0);
    EXPECT_EQ(skins.eyeFrames.at(0).image.devicePixelRatio(), 1.0);
    EXPECT_EQ(skins.pngg2.devicePixelRatio(), 2.0);
}

}  // namespace
}  // namespace plumo
