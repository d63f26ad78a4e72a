#include "notavo_cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "bad_memo_files.h"
#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo::notavo {
namespace {

namespace fs = std::filesystem;

class NotavoCli : public ::testing::Test {
protected:
    struct Result {
        int status;
        std::string out, err;
    };
    Result run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = runCommandLine(args, database(), out, err);
        return {status, out.str(), err.str()};
    }
    fs::path database() const { return dir / "config" / "d.ini"; }
    void init() { ASSERT_EQ(run({"--init"}).status, kExitOk); }

    test::TempDir dir;
};

TEST_F(NotavoCli, InitCreatesTheFolderAndADatabaseTheCompanionOpens) {
    const Result r = run({"--init"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_NE(r.out.find(database().string()), std::string::npos);
    EXPECT_TRUE(r.err.empty());
    // Nothing but the database is left behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir / "config")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    const auto db = MemoDatabase::open(database());
    EXPECT_EQ(countOpenPlans(db->query()), 0);
    EXPECT_EQ(readStoredPassword(db->query()), "");
}

TEST_F(NotavoCli, InitRefusesToTouchAnythingInPlace) {
    init();
    ASSERT_EQ(run({"add", "keep"}).status, kExitOk);
    const auto before = dir.read("config/d.ini");
    const Result again = run({"--init"});
    EXPECT_EQ(again.status, kExitBadUsage);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);
    EXPECT_EQ(std::count(again.err.begin(), again.err.end(), '\n'), 1);
    EXPECT_EQ(dir.read("config/d.ini"), before);

    dir.write("other/d.ini", "not a database");
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine({"--init"}, dir / "other" / "d.ini", out, err), kExitBadUsage);
    EXPECT_EQ(dir.read("other/d.ini"), "not a database");
}

// Whatever stands in place of the database, every command names it, fails with status
// one and leaves it byte for byte as it was; a damaged one is found by the engine's check.
TEST(NotavoRefusal, EveryCommandNamesTheFileAndLeavesItAsItWas) {
    std::vector<test::BadMemoFile> cases = test::badMemoFiles();
    cases.push_back({"Damaged", test::makeDamagedMemoDatabase});
    for (const test::BadMemoFile& bad : cases) {
        SCOPED_TRACE(bad.name);
        test::TempDir dir;
        const fs::path file = dir / "config" / "d.ini";
        fs::create_directories(file.parent_path());
        bad.make(file);
        const auto before = test::folderContents(dir.path());
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"add", "x"}, {"list"}, {"done", "1"}}) {
            std::ostringstream out, err;
            EXPECT_EQ(runCommandLine(command, file, out, err), kExitFailed);
            EXPECT_TRUE(out.str().empty());
            const std::string message = err.str();
            EXPECT_NE(message.find(file.string()), std::string::npos) << message;
            EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
            if (bad.name == std::string("Damaged")) {
                EXPECT_NE(message.find("damaged"), std::string::npos) << message;
            }
        }
        EXPECT_EQ(test::folderContents(dir.path()), before);
    }
}

TEST_F(NotavoCli, AddListDonePostponeDelete) {
    init();
    Result r = run({"add", "买牛奶", "--at", "2026-12-07 14:30:00"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, "Added item 1: 买牛奶 (item, reminder 2026-12-07 14:30:00)\n");
    r = run({"add", "写报告", "--plan"});
    EXPECT_EQ(r.out, "Added item 2: 写报告 (plan, no reminder)\n");

    r = run({"list"});
    EXPECT_EQ(r.out,
              "1\topen\titem\t2026-12-07 14:30:00\t买牛奶\n"
              "2\topen\tplan\tno reminder        \t写报告\n");

    r = run({"postpone", "1"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "Item 1 postponed to 2026-12-08 14:30:00.\n");
    r = run({"done", "2"});
    EXPECT_EQ(r.out, "Item 2 is done.\n");
    EXPECT_EQ(run({"list", "--open"}).out, "1\topen\titem\t2026-12-08 14:30:00\t买牛奶\n");

    {
        const auto db = MemoDatabase::open(database());
        const auto due = findDueItem(db->query(), encodeDateTime(2026, 12, 8, 14, 30, 0));
        ASSERT_TRUE(due);
        EXPECT_EQ(due->title, "买牛奶");
        EXPECT_EQ(countOpenPlans(db->query()), 0);
    }

    r = run({"delete", "1"});
    EXPECT_EQ(r.out, "Item 1 deleted.\n");
    EXPECT_EQ(run({"list", "--open"}).out, "No open items.\n");
    run({"delete", "2"});
    EXPECT_EQ(run({"list"}).out, "No items.\n");
}

TEST_F(NotavoCli, MissingItemsAndUndatedPostponesFailWithStatusOne) {
    init();
    run({"add", "undated"});
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"done", "9"}, {"delete", "9"}, {"postpone", "9"}, {"postpone", "1"}}) {
        const Result r = run(args);
        EXPECT_EQ(r.status, kExitFailed) << args[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_NE(run({"postpone", "1"}).err.find("no reminder"), std::string::npos);
    // Without a database every command fails and none creates one.
    fs::remove(database());
    EXPECT_EQ(run({"list"}).status, kExitFailed);
    EXPECT_FALSE(fs::exists(database()));
}

TEST_F(NotavoCli, BadArgumentsGetOneLineAndStatusTwo) {
    init();
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"add"},
        {"add", "a", "b"},
        {"add", "a", "--at"},
        {"add", "a", "--at", "2026-02-30 10:00:00"},
        {"add", "a", "--at", "2026-12-07 10:00"},
        {"add", "a", "--when", "x"},
        {"list", "--all"},
        {"done"},
        {"done", "abc"},
        {"done", "0"},
        {"done", "-3"},
        {"done", "+3"},
        {"done", "3x"},
        {"done", "1", "2"},
        {"delete", "99999999999999999999"},
        {"postpone"},
        {"--init", "now"},
        {"--db"},
    };
    for (const auto& args : bad) {
        const Result r = run(args);
        std::string shown;
        for (const auto& a : args) shown += "[" + a + "]";
        EXPECT_EQ(r.status, kExitBadUsage) << shown;
        EXPECT_TRUE(r.out.empty()) << shown;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << r.err;
        EXPECT_EQ(r.err.rfind("Notavo: ", 0), 0u) << shown;
    }
    EXPECT_EQ(run({"list"}).out, "No items.\n");
}

TEST_F(NotavoCli, HelpListsEveryCommand) {
    const Result r = run({"--help"});
    EXPECT_EQ(r.status, kExitOk);
    for (const char* word :
         {"--init", "add TITLE", "--at", "--plan", "list [--open]", "done ID", "delete ID",
          "postpone ID", "--help", "--repeat RULE", "repeat ID RULE", "repeat ID none",
          "snooze ID 10m|1h", "lunar-yearly", "workdays", "每年（农历）"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(NotavoCli, DbOptionNamesAnotherFile) {
    const auto other = (dir / "elsewhere.db").string();
    EXPECT_EQ(run({"--db", other, "--init"}).status, kExitOk);
    EXPECT_EQ(run({"--db", other, "add", "x"}).status, kExitOk);
    EXPECT_TRUE(fs::exists(other));
    EXPECT_FALSE(fs::exists(database()));
}

TEST_F(NotavoCli, ListKeepsEveryItemOnOneLineWhateverItsTitleHolds) {
    init();
    ASSERT_EQ(run({"add", "line one\nline\ttwo\r\nC:\\memo\\n"}).status, kExitOk);
    ASSERT_EQ(run({"add", "plain"}).status, kExitOk);
    const std::string out = run({"list"}).out;
    EXPECT_EQ(out,
              "1\topen\titem\tno reminder        \tline one\\nline\\ttwo\\r\\nC:\\\\memo\\\\n\n"
              "2\topen\titem\tno reminder        \tplain\n");
    // The escapes are told in the help.
    EXPECT_NE(run({"--help"}).out.find("\\n"), std::string::npos);
}

TEST_F(NotavoCli, RepeatingItemsOpenAgainAtTheirNextDate) {
    init();
    auto runAt = [&](std::vector<std::string> args, DateTime now) {
        std::ostringstream out, err;
        const int status = runCommandLine(args, database(), out, err, now);
        return Result{status, out.str(), err.str()};
    };
    const DateTime now = encodeDateTime(2026, 1, 31, 9, 0, 0);
    Result r = runAt({"add", "交房租", "--at", "2026-01-31 08:00:00", "--repeat", "monthly"}, now);
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "Added item 1: 交房租 (item, reminder 2026-01-31 08:00:00, repeats monthly)\n");
    run({"add", "写报告", "--at", "2026-03-01 10:00:00"});
    EXPECT_EQ(runAt({"list"}, now).out,
              "1\topen\titem\t2026-01-31 08:00:00\t交房租\tmonthly\n"
              "2\topen\titem\t2026-03-01 10:00:00\t写报告\n");

    r = runAt({"done", "1"}, now);
    EXPECT_EQ(r.out, "Item 1 is done. It repeats: next reminder 2026-02-28 08:00:00.\n");
    r = runAt({"snooze", "1", "1h"}, now + 0.3 / 86400);
    EXPECT_EQ(r.out, "Item 1 snoozed to 2026-01-31 10:00:00.\n");
    // The snoozed occurrence was February's: March's follows.
    EXPECT_EQ(runAt({"done", "1"}, now).out,
              "Item 1 is done. It repeats: next reminder 2026-03-31 08:00:00.\n");

    r = runAt({"repeat", "2", "lunar-yearly"}, now);
    EXPECT_EQ(r.out, "Item 2 repeats lunar-yearly from 2026-03-01 10:00:00.\n");
    // Past the calendar's last year a lunar series ends and the item stays done.
    r = runAt({"done", "2"}, encodeDateTime(2050, 12, 1, 0, 0, 0));
    EXPECT_EQ(r.out, "Item 2 is done. Its series has ended: no later date of the rule.\n");
    EXPECT_EQ(runAt({"list"}, now).out,
              "1\topen\titem\t2026-03-31 08:00:00\t交房租\tmonthly\n"
              "2\tdone\titem\t2026-03-01 10:00:00\t写报告\n");

    EXPECT_EQ(runAt({"repeat", "1", "none"}, now).out, "Item 1 no longer repeats.\n");
    EXPECT_EQ(runAt({"done", "1"}, now).out, "Item 1 is done.\n");
    EXPECT_EQ(runAt({"list", "--open"}, now).out, "No open items.\n");

    // A value at fault is named.
    run({"add", "无提醒"});
    for (const auto& [args, status, named] :
         std::vector<std::tuple<std::vector<std::string>, int, std::string>>{
             {{"add", "a", "--repeat", "fortnightly", "--at", "2026-01-01 00:00:00"},
              kExitBadUsage,
              "'fortnightly'"},
             {{"add", "a", "--repeat", "daily"}, kExitBadUsage, "--at"},
             {{"repeat", "1", "Daily"}, kExitBadUsage, "'Daily'"},
             {{"repeat", "x1", "daily"}, kExitBadUsage, "'x1'"},
             {{"repeat", "1"}, kExitBadUsage, "repeat"},
             {{"snooze", "1", "15m"}, kExitBadUsage, "'15m'"},
             {{"snooze", "9", "10m"}, kExitFailed, "no item 9"},
             {{"repeat", "9", "daily"}, kExitFailed, "no item 9"},
             {{"repeat", "3", "daily"}, kExitFailed, "no reminder"},
         }) {
        r = runAt(args, now);
        EXPECT_EQ(r.status, status) << args[0] << " " << args.back();
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(runAt({"list", "--open"}, now).out, "3\topen\titem\tno reminder        \t无提醒\n");
}

// A stream that refuses every write, like a full disk.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST_F(NotavoCli, InputOutputFailuresAreNotReportedAsBadArguments) {
    init();
    run({"add", "x"});
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(runCommandLine({"list"}, database(), out, err), kExitIoFailed);
    EXPECT_NE(err.str().find("output"), std::string::npos) << err.str();

    // A database that cannot be made where a plain file stands in the way of its folder.
    dir.write("blocked", "a file, not a folder");
    std::ostringstream out2, err2;
    EXPECT_EQ(runCommandLine({"--init"}, dir / "blocked" / "d.ini", out2, err2), kExitIoFailed);
    EXPECT_NE(err2.str().find("blocked"), std::string::npos) << err2.str();
    EXPECT_NE(kExitIoFailed, kExitBadUsage);
}

// The shipped program: the database beside the executable, exit statuses, output streams.
TEST(NotavoProgram, InitPlacesTheDatabaseBesideItselfAndNeverTwice) {
    test::TempDir folder;
    const fs::path program = folder / "Notavo";
    fs::copy_file(NOTAVO_PATH, program);
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);

    auto r = test::runNotavo({"--init"}, program);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_TRUE(fs::is_regular_file(folder / "config" / "d.ini"));
    r = test::runNotavo({"add", "hello", "--at", "2026-12-07 08:00:00"}, program);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    r = test::runNotavo({"--init"}, program);
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("already exists"), std::string::npos);
    r = test::runNotavo({"list"}, program);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "1\topen\titem\t2026-12-07 08:00:00\thello\n");
    r = test::runNotavo({"list", "extra"}, program);
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_TRUE(r.out.empty());
}

}  // namespace
}  // namespace plumo::notavo
