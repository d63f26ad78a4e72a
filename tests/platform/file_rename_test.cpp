#include "platform/file_rename.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace plumo {
namespace {

TEST(RenameNoReplace, MovesToAFreeName) {
    test::TempDir dir;
    dir.write("a", "alpha");
    EXPECT_TRUE(renameNoReplace((dir / "a").string(), (dir / "b").string()));
    EXPECT_EQ(dir.read("b"), "alpha");
    EXPECT_FALSE(std::filesystem::exists(dir / "a"));
}

TEST(RenameNoReplace, RefusesAnExistingTargetAndKeepsBoth) {
    test::TempDir dir;
    dir.write("a", "alpha");
    dir.write("b", "beta");
    EXPECT_FALSE(renameNoReplace((dir / "a").string(), (dir / "b").string()));
    EXPECT_EQ(dir.read("a"), "alpha");
    EXPECT_EQ(dir.read("b"), "beta");
}

TEST(RenameNoReplace, MissingSourceFails) {
    test::TempDir dir;
    EXPECT_FALSE(renameNoReplace((dir / "none").string(), (dir / "b").string()));
    EXPECT_FALSE(std::filesystem::exists(dir / "b"));
}

}  // namespace
}  // namespace plumo
