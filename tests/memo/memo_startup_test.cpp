#include "memo/memo_startup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include "bad_memo_files.h"
#include "memo/memo_actions.h"
#include "notavo_process.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

class StartupOpenFailure : public ::testing::TestWithParam<test::BadMemoFile> {};

TEST_P(StartupOpenFailure, ShowsTheStartupMessageNamingTheFileAndChangesNothing) {
    test::TempDir programFolder;
    fs::create_directories(programFolder / "config");
    GetParam().make(programFolder / "config/d.ini");
    const auto before = test::folderContents(programFolder.path());
    test::RecordingMessageBoxes boxes;

    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    ASSERT_EQ(boxes.informations.size(), 1);
    const QStringList lines = boxes.informations.front().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("程序启动失败，读取数据库发生异常！"));
    EXPECT_TRUE(
        lines[1].contains(QString::fromStdString((programFolder / "config/d.ini").string())))
        << lines[1].toStdString();
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(test::folderContents(programFolder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartupOpenFailure, ::testing::ValuesIn(test::badMemoFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupOpen, MissingDatabaseIsNotCreated) {
    test::TempDir programFolder;
    fs::create_directories(programFolder / "config");
    test::RecordingMessageBoxes boxes;
    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    EXPECT_FALSE(fs::exists(programFolder / "config/d.ini"));
    EXPECT_EQ(boxes.informations.size(), 1);
}

TEST(StartupOpen, EmptyFileStaysEmpty) {
    test::TempDir programFolder;
    programFolder.write("config/d.ini", "");
    test::RecordingMessageBoxes boxes;
    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    EXPECT_EQ(fs::file_size(programFolder / "config/d.ini"), 0u);
}

TEST(StartupOpen, WithoutPermissionToWriteOrRead) {
    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
    test::TempDir programFolder;
    test::initMemoDatabase(programFolder / "config/d.ini");
    test::RecordingMessageBoxes boxes;
    fs::permissions(programFolder / "config/d.ini", fs::perms::owner_read);
    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    fs::permissions(programFolder / "config/d.ini", fs::perms::none);
    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    EXPECT_EQ(boxes.informations.size(), 2);
}

TEST(StartupOpen, ADatabaseMadeByNotavoOpensSilentlyAndAnswersTheCounts) {
    test::TempDir programFolder;
    test::initMemoDatabase(programFolder / "config/d.ini");
    ASSERT_EQ(test::runNotavo(
                  {"--db", (programFolder / "config/d.ini").string(), "add", "plan", "--plan"})
                  .exitStatus,
              0);
    test::RecordingMessageBoxes boxes;
    const auto database = openMemoDatabaseForStartup(programFolder.path());
    ASSERT_NE(database, nullptr);
    EXPECT_TRUE(boxes.informations.isEmpty());
    EXPECT_EQ(countOpenPlans(database->query()), 1);
    EXPECT_EQ(countOverdueReminders(database->query(), encodeDate(2026, 12, 7)), 0);
}

}  // namespace
}  // namespace plumo
