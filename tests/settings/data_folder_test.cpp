#include "settings/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <string>

#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        // An installed program folder with its defaults, and a user with an empty home.
        dir.write("prefix/lib/plumo/config/config.ini", "[set]\ntime=on\n");
        dir.write("prefix/lib/plumo/skin/g1", "outfit one");
        dir.write("prefix/lib/plumo/skin/g2", "outfit two");
        dir.write("prefix/lib/plumo/skin/set", "settings background");
        fs::create_directories(dir / "home");
        environment["HOME"] = (dir / "home").string();
    }

    EnvironmentLookup getenv() const {
        return [this](const char* name) -> const char* {
            const auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        };
    }
    DataFolder choose(bool writable) const {
        return chooseDataFolder(program(), getenv(),
                                [writable](const fs::path&) { return writable; });
    }
    fs::path program() const { return dir / "prefix/lib/plumo"; }
    fs::path user() const { return dir / "home/.local/share/plumo"; }

    test::TempDir dir;
    std::map<std::string, std::string> environment;
};

TEST_F(DataFolderTest, AWritableProgramFolderKeepsEverythingItself) {
    const DataFolder data = choose(true);
    EXPECT_FALSE(data.installed);
    EXPECT_EQ(data.folder, program());
    prepareDataFolder(data, true);
    EXPECT_FALSE(fs::exists(dir / "home/.local"));
    EXPECT_FALSE(fs::exists(program() / "config/d.ini"));
}

TEST_F(DataFolderTest, AReadOnlyOrMarkedProgramFolderWritesInTheUsersFolder) {
    EXPECT_TRUE(choose(false).installed);
    EXPECT_EQ(choose(false).folder, user());

    // A read-only config folder inside a writable program folder is just as installed.
    const DataFolder readOnlyConfig = chooseDataFolder(
        program(), getenv(), [](const fs::path& p) { return p.filename() != "config"; });
    EXPECT_TRUE(readOnlyConfig.installed);

    // The install's marker counts even where the user may write (root, or a prefix in her home).
    dir.write("prefix/lib/plumo/installed", "");
    EXPECT_TRUE(choose(true).installed);

    environment["XDG_DATA_HOME"] = (dir / "data").string();
    EXPECT_EQ(choose(true).folder, dir / "data/plumo");
    environment["XDG_DATA_HOME"] = "relative/data";  // not absolute: ignored
    EXPECT_EQ(choose(true).folder, user());
}

TEST_F(DataFolderTest, TheFirstStartMakesAPrivateFolderFromTheInstalledDefaults) {
    fs::permissions(program() / "config/config.ini", fs::perms::owner_read | fs::perms::group_read);
    prepareDataFolder(choose(false), true);

    EXPECT_EQ(modeOf(user()), 0700u);
    EXPECT_EQ(modeOf(user() / "config"), 0700u);
    EXPECT_EQ(dir.read("home/.local/share/plumo/config/config.ini"), "[set]\ntime=on\n");
    // Her copy is hers to write, whatever the installed file's permissions.
    EXPECT_EQ(modeOf(user() / "config/config.ini") & 0600u, 0600u);
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/g2"), "outfit two");
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/set"), "settings background");
    EXPECT_EQ(modeOf(user() / "config/d.ini"), 0600u);
    const auto db = MemoDatabase::open(user() / "config/d.ini");
    EXPECT_EQ(countOpenPlans(db->query()), 0);
    // The installed folder gained nothing.
    EXPECT_FALSE(fs::exists(program() / "config/d.ini"));
}

TEST_F(DataFolderTest, LaterStartsNeverReplaceWhatTheUserHas) {
    dir.write("home/.local/share/plumo/config/config.ini", "[set]\ntime=off\n");
    dir.write("home/.local/share/plumo/config/d.ini", "her memo items");
    // An outfit change cut short: g1 is on its way to g2 through g.
    dir.write("home/.local/share/plumo/skin/g", "outfit one");
    dir.write("home/.local/share/plumo/skin/g2", "outfit one");
    prepareDataFolder(choose(false), true);

    EXPECT_EQ(dir.read("home/.local/share/plumo/config/config.ini"), "[set]\ntime=off\n");
    EXPECT_EQ(dir.read("home/.local/share/plumo/config/d.ini"), "her memo items");
    EXPECT_FALSE(fs::exists(user() / "skin/g1"));
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/g2"), "outfit one");
    // A picture a newer version brought along is added.
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/set"), "settings background");
}

TEST_F(DataFolderTest, DoubleSizeOutfitsComeOnlyWithTheOutfitsThemselves) {
    dir.write("prefix/lib/plumo/skin/g1@2x", "outfit one, doubled");
    dir.write("prefix/lib/plumo/skin/g2@2x", "outfit two, doubled");
    dir.write("prefix/lib/plumo/skin/set@2x", "settings background, doubled");
    // Her outfits from before, changed once: g1 holds the second one.
    dir.write("home/.local/share/plumo/skin/g1", "outfit two");
    dir.write("home/.local/share/plumo/skin/g2", "outfit one");
    prepareDataFolder(choose(false), true);

    EXPECT_FALSE(fs::exists(user() / "skin/g1@2x"));
    EXPECT_FALSE(fs::exists(user() / "skin/g2@2x"));
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/set@2x"), "settings background, doubled");

    // A user with no outfits yet gets them at both sizes.
    fs::remove_all(user() / "skin");
    prepareDataFolder(choose(false), true);
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/g1"), "outfit one");
    EXPECT_EQ(dir.read("home/.local/share/plumo/skin/g1@2x"), "outfit one, doubled");
}

TEST_F(DataFolderTest, AFileInTheWayIsReportedByName) {
    dir.write("home/.local/share/plumo", "not a folder");
    try {
        prepareDataFolder(choose(false), true);
        FAIL() << "no error";
    } catch (const DataFolderError& e) {
        EXPECT_NE(std::string(e.what()).find(user().string()), std::string::npos) << e.what();
    }
}

TEST_F(DataFolderTest, SessionsStartTheInstalledProgramByItsPlaceInBin) {
    const fs::path executable = program() / "plumo";
    dir.write("prefix/lib/plumo/plumo", "program");
    EXPECT_EQ(stableExecutable(choose(false), executable), executable);  // no bin/plumo
    fs::create_directories(dir / "prefix/bin");
    fs::create_symlink("../lib/plumo/plumo", dir / "prefix/bin/plumo");
    EXPECT_EQ(stableExecutable(choose(false), executable), dir / "prefix/bin/plumo");
    EXPECT_EQ(stableExecutable(choose(true), executable), executable);  // portable
}

// The built memo program, copied into a program folder, and the companion's decision meet
// at the same database in both modes.
class MemoProgramAgreement : public DataFolderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MemoProgramAgreement, TheMemoProgramWritesWhereTheCompanionReads) {
    const bool installed = GetParam();
    fs::copy_file(NOTAVO_PATH, program() / "Notavo");
    if (installed) dir.write("prefix/lib/plumo/installed", "");
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);

    const test::ProcessResult made = test::runNotavo({"--init"}, program() / "Notavo");
    const test::ProcessResult added = test::runNotavo({"add", "buy tea"}, program() / "Notavo");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    ASSERT_EQ(added.exitStatus, 0) << added.err;

    environment["XDG_DATA_HOME"] = (dir / "data").string();
    const DataFolder data =
        chooseDataFolder(program(), getenv(), [](const fs::path&) { return true; });
    EXPECT_EQ(data.folder, installed ? dir / "data/plumo" : program());
    EXPECT_EQ(fs::exists(program() / "config/d.ini"), !installed);
    EXPECT_EQ(modeOf(memoDatabasePath(data.folder)), 0600u);
    test::RawConnection raw(memoDatabasePath(data.folder));
    EXPECT_EQ(raw.scalarText("select title from log"), "buy tea");
}

INSTANTIATE_TEST_SUITE_P(BothModes, MemoProgramAgreement, ::testing::Bool());

}  // namespace
}  // namespace plumo
