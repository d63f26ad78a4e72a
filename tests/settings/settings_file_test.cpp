#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "unprivileged.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    QString path(const std::string& relative) const {
        return QString::fromStdString((dir / relative).string());
    }
    SettingsValues readText(const std::string& text) const {
        dir.write("config/config.ini", text);
        return readSettingsFile(path("config/config.ini"));
    }
    std::vector<std::string> folderEntries(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / relative)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
};

TEST_F(SettingsFileTest, ReadsTheFileAsTheProgramWritesIt) {
    const auto values = readText("[setting]\r\ntime=on\r\nsound=1\r\nauto=off\r\n");
    EXPECT_EQ(values, (SettingsValues{"on", "1", "off"}));
}

TEST_F(SettingsFileTest, MatchesSectionAndKeysInAnyLetterCase) {
    EXPECT_EQ(readText("[SETTING]\nTIME=on\nSound=2\nAuTo=on\n"),
              (SettingsValues{"on", "2", "on"}));
    EXPECT_EQ(readText("[Setting]\r\ntime=off\r\n").timeset, "off");
}

TEST_F(SettingsFileTest, KeepsTheLetterCaseOfValues) {
    const auto values = readText("[setting]\ntime=On\nauto=ON\n");
    EXPECT_EQ(values.timeset, "On");
    EXPECT_NE(values.timeset, "on");
    EXPECT_EQ(values.autoset, "ON");
}

TEST_F(SettingsFileTest, DropsBlanksAroundNamesAndValuesButKeepsInnerOnes) {
    const auto values =
        readText("  [ setting ]  \r\n\t time \t=   on \t\r\n sound =1 2 \r\nauto=\r\n");
    EXPECT_EQ(values, (SettingsValues{"on", "1 2", ""}));
}

TEST_F(SettingsFileTest, IgnoresOtherSectionsAndKeys) {
    const auto values = readText(
        "[other]\ntime=off\nsound=9\n"
        "[setting]\nvolume=3\ntimeset=off\ntime=on\n; sound=7\n"
        "[more]\nsound=8\nauto=on\n");
    EXPECT_EQ(values, (SettingsValues{"on", "", ""}));
}

TEST_F(SettingsFileTest, TakesTheFirstSectionAndTheFirstKeyOfAName) {
    const auto values = readText("[setting]\ntime=on\ntime=off\n[setting]\nsound=2\n");
    EXPECT_EQ(values, (SettingsValues{"on", "", ""}));
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesEmptyValues) {
    EXPECT_EQ(readSettingsFile(path("config/none.ini")), SettingsValues{});
    EXPECT_EQ(readSettingsFile(path("no-folder/config.ini")), SettingsValues{});
    EXPECT_EQ(readText(""), SettingsValues{});
    EXPECT_EQ(readText("time=on\nsound=1\n"), SettingsValues{});  // keys outside any section
    EXPECT_EQ(readText("[settings]\ntime=on\n"), SettingsValues{});
    EXPECT_EQ(readText("[setting]\ntime\nsound=1\n"), (SettingsValues{"", "1", ""}));
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileReadsAsEmpty) {
    fs::create_directories(dir / "config/config.ini");
    EXPECT_EQ(readSettingsFile(path("config/config.ini")), SettingsValues{});
}

TEST_F(SettingsFileTest, ReadsEveryLineEndAndIgnoresAByteOrderMark) {
    EXPECT_EQ(readText("[setting]\rtime=on\rsound=1\rauto=on"), (SettingsValues{"on", "1", "on"}));
    EXPECT_EQ(readText("\xEF\xBB\xBF[setting]\ntime=on\n").timeset, "on");
    EXPECT_EQ(readText("[setting]\n\n\r\n\ntime=on").timeset, "on");
}

TEST_F(SettingsFileTest, WritesExactlyTheFourLinesAndDropsEverythingElse) {
    dir.write("config/config.ini", "; my notes\n[setting]\ntime=On\nextra=1\n[other]\nkey=value\n");
    writeSettingsFile(path("config/config.ini"), SettingsValues{"off", "2", "on"});
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=off\r\nsound=2\r\nauto=on\r\n");
    EXPECT_EQ(readSettingsFile(path("config/config.ini")), (SettingsValues{"off", "2", "on"}));
    EXPECT_EQ(folderEntries("config"), std::vector<std::string>{"config.ini"});
}

TEST_F(SettingsFileTest, WritesAValueHoldingALineBreakOnItsOwnLine) {
    writeSettingsFile(path("config.ini"), SettingsValues{"on\r\nauto=on", "1", "off"});
    EXPECT_EQ(dir.read("config.ini"), "[setting]\r\ntime=onauto=on\r\nsound=1\r\nauto=off\r\n");
}

TEST_F(SettingsFileTest, WritingIntoAMissingFolderFailsNamingTheFile) {
    const QString target = path("config/config.ini");
    try {
        writeSettingsFile(target, SettingsValues{"on", "0", "on"});
        FAIL() << "no error";
    } catch (const SettingsFileError& e) {
        EXPECT_TRUE(e.text().contains(target)) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "config"));
}

TEST_F(SettingsFileTest, WritingIntoAReadOnlyFolderKeepsTheOldFileAndNamesIt) {
    const std::string old = "[setting]\r\ntime=on\r\nsound=1\r\nauto=off\r\n";
    dir.write("config/config.ini", old);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read |
                                    fs::perms::others_exec | fs::perms::group_read |
                                    fs::perms::group_exec);
    fs::permissions(dir / "config", fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    const QString target = path("config/config.ini");

    const std::string error = test::errorOfUnprivilegedAttempt([&] {
        writeSettingsFile(target, SettingsValues{"off", "2", "on"});
    });

    EXPECT_NE(error.find(target.toStdString()), std::string::npos) << error;
    EXPECT_EQ(dir.read("config/config.ini"), old);
    EXPECT_EQ(folderEntries("config"), std::vector<std::string>{"config.ini"});
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileIsLeftAlone) {
    fs::create_directories(dir / "config/config.ini/inside");
    EXPECT_THROW(writeSettingsFile(path("config/config.ini"), SettingsValues{"on", "0", "on"}),
                 SettingsFileError);
    EXPECT_TRUE(fs::is_directory(dir / "config/config.ini/inside"));
    EXPECT_EQ(folderEntries("config"), std::vector<std::string>{"config.ini"});
}

}  // namespace
}  // namespace plumo
