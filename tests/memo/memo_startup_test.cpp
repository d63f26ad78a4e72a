#include "memo/memo_startup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <functional>

#include "memo/memo_actions.h"
#include "notavo_process.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

struct FailedOpen {
    const char* name;
    std::function<void(const test::TempDir&)> prepare;
};

void makeSqliteDatabase(const fs::path& file, const char* schema) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

const FailedOpen kFailedOpens[] = {
    {"Missing", [](const test::TempDir&) {}},
    {"MissingConfigFolder", [](const test::TempDir& dir) { fs::remove(dir / "config"); }},
    {"Empty", [](const test::TempDir& dir) { dir.write("config/d.ini", ""); }},
    {"TextFile",
     [](const test::TempDir& dir) { dir.write("config/d.ini", "[setting]\ntime=on\n"); }},
    {"Directory", [](const test::TempDir& dir) { fs::create_directories(dir / "config/d.ini"); }},
    {"DatabaseWithoutTables",
     [](const test::TempDir& dir) {
         makeSqliteDatabase(dir / "config/d.ini", "create table other(x integer);");
     }},
    {"DatabaseWithoutMaster",
     [](const test::TempDir& dir) {
         makeSqliteDatabase(dir / "config/d.ini",
                            "create table log(id integer primary key, title text, flag integer, "
                            "status integer, reminder real);");
     }},
    {"LogWithoutReminder",
     [](const test::TempDir& dir) {
         makeSqliteDatabase(dir / "config/d.ini",
                            "create table log(id integer primary key, title text, flag integer, "
                            "status integer); create table master(pwd text, created text);");
     }},
    {"DanglingLink",
     [](const test::TempDir& dir) {
         fs::create_directory_symlink(dir / "nowhere", dir / "config/d.ini");
     }},
};

void PrintTo(const FailedOpen& failedOpen, std::ostream* out) { *out << failedOpen.name; }

class StartupOpenFailure : public ::testing::TestWithParam<FailedOpen> {};

TEST_P(StartupOpenFailure, ShowsTheStartupMessageOnceAndGivesNoDatabase) {
    test::TempDir programFolder;
    fs::create_directories(programFolder / "config");
    GetParam().prepare(programFolder);
    test::RecordingMessageBoxes boxes;

    EXPECT_EQ(openMemoDatabaseForStartup(programFolder.path()), nullptr);
    ASSERT_EQ(boxes.informations.size(), 1);
    EXPECT_EQ(boxes.informations.front(), QStringLiteral("程序启动失败，读取数据库发生异常！"));
    EXPECT_TRUE(boxes.errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, StartupOpenFailure, ::testing::ValuesIn(kFailedOpens),
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
