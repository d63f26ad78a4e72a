#include "companion/outfit_change.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace plumo {
namespace {

class OutfitFilesTest : public ::testing::Test {
protected:
    OutfitFilesTest() { std::filesystem::create_directories(folder / "skin"); }
    QString skinFolder() const { return QString::fromStdString((folder / "skin/").string()); }
    std::string file(const char* name) const {
        const auto path = folder / (std::string("skin/") + name);
        return std::filesystem::exists(path) ? folder.read(std::string("skin/") + name) : "-";
    }

    test::TempDir folder;
    int skinno = 1;
};

TEST_F(OutfitFilesTest, DoublesTradePlacesWithTheirOutfits) {
    folder.write("skin/g1", "one");
    folder.write("skin/g2", "two");
    folder.write("skin/g1@2x", "one doubled");
    folder.write("skin/g2@2x", "two doubled");
    OutfitChange change(skinFolder(), skinno);
    EXPECT_EQ(change.change(), 2);
    EXPECT_EQ(file("g1") + "|" + file("g1@2x"), "two|two doubled");
    EXPECT_EQ(file("g2") + "|" + file("g2@2x"), "one|one doubled");
    EXPECT_EQ(file("g") + "|" + file("g@2x"), "-|-");
    EXPECT_EQ(change.change(), 1);
    EXPECT_EQ(file("g1") + "|" + file("g1@2x"), "one|one doubled");
    EXPECT_EQ(file("g2") + "|" + file("g2@2x"), "two|two doubled");
}

TEST_F(OutfitFilesTest, AnOutfitWithoutADoubleLeavesTheOthersDoubleWithIt) {
    folder.write("skin/g1", "her own");
    folder.write("skin/g2", "two");
    folder.write("skin/g2@2x", "two doubled");
    OutfitChange change(skinFolder(), skinno);
    change.change();
    EXPECT_EQ(file("g1") + "|" + file("g1@2x"), "two|two doubled");
    EXPECT_EQ(file("g2") + "|" + file("g2@2x"), "her own|-");
}

}  // namespace
}  // namespace plumo
