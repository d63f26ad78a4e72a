// A memo database made before item ids were never used twice: every Notavo command
// brings it over first, keeping every item and the password, or leaves it exactly as it
// was and says why.

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "bad_memo_files.h"
#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_schema.h"
#include "notavo_cli.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo::notavo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kItems = "select id,title,flag,status,reminder from log order by id";
constexpr const char* kPasswords = "select pwd,created from master";

struct CommandResult {
    int status;
    std::string out, err;
};

CommandResult run(const fs::path& database, const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = runCommandLine(arguments, database, out, err);
    return {status, out.str(), err.str()};
}

std::string readBytes(const fs::path& file) {
    return test::folderContents(file.parent_path()).at(file.filename().string());
}

TEST(NotavoOldFile, TheFirstCommandBringsItOverKeepingEveryItemAndThePassword) {
    test::TempDir dir;
    const fs::path file = dir / "d.ini";
    test::makeOldMemoDatabase(file);
    std::vector<std::string> items, passwords;
    {
        test::RawConnection raw(file);
        items = raw.rows(kItems);
        passwords = raw.rows(kPasswords);
    }
    ASSERT_EQ(items.size(), 5u);

    const CommandResult listed = run(file, {"list", "--open"});
    ASSERT_EQ(listed.status, kExitOk) << listed.err;
    EXPECT_EQ(listed.out.rfind("3\topen\titem\t2026-12-07 09:00:00\t交电费\n", 0), 0u)
        << listed.out;

    {
        test::RawConnection raw(file);
        EXPECT_EQ(raw.rows(kItems), items);
        EXPECT_EQ(raw.rows(kPasswords), passwords);
        EXPECT_NE(
            raw.scalarText("select sql from sqlite_master where name='log'").find("AUTOINCREMENT"),
            std::string::npos);
        EXPECT_EQ(raw.scalarText("select sql from sqlite_master where type='index'"),
                  "CREATE INDEX log_status_reminder ON log(status, reminder)");
        EXPECT_EQ(raw.scalarInt("select count(*) from sqlite_master where name like 'log%'"), 2);
        EXPECT_EQ(raw.scalarInt("select seq from sqlite_sequence where name='log'"), 12);
    }
    // The companion's statements read it as before.
    EXPECT_EQ(countOpenPlans(MemoDatabase::open(file)->query()), 1);

    // The newest item deleted, the next one still gets an id of its own.
    ASSERT_EQ(run(file, {"delete", "12"}).status, kExitOk);
    EXPECT_EQ(run(file, {"add", "新事项"}).out, "Added item 13: 新事项 (item, no reminder)\n");
    // A file brought over once is left alone afterwards.
    const std::string converted = readBytes(file);
    EXPECT_EQ(run(file, {"list"}).status, kExitOk);
    EXPECT_EQ(readBytes(file), converted);
}

TEST(NotavoOldFile, OneThatCannotBeBroughtOverIsNamedAndLeftAsItWas) {
    test::TempDir dir;
    const fs::path extraColumn = dir / "extra" / "d.ini";
    const fs::path locked = dir / "locked" / "d.ini";
    fs::create_directories(extraColumn.parent_path());
    fs::create_directories(locked.parent_path());
    test::makeOldMemoDatabase(extraColumn, "note TEXT");
    test::makeOldMemoDatabase(locked);

    const std::string before = readBytes(extraColumn);
    CommandResult r = run(extraColumn, {"add", "x"});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(extraColumn.string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("columns other than"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(extraColumn), before);

    // Another program holds the file locked past the usual wait.
    const std::string lockedBefore = readBytes(locked);
    test::RawConnection other(locked);
    other.exec("begin exclusive");
    other.exec("update master set pwd='abd'");
    r = run(locked, {"list"});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(locked.string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("locked"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(locked), lockedBefore);
    other.exec("rollback");
    EXPECT_EQ(
        other.scalarText("select sql from sqlite_master where name='log'").find("AUTOINCREMENT"),
        std::string::npos);
}

}  // namespace
}  // namespace plumo::notavo
