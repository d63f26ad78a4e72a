// Runs the built datecn command the way a user does and reads what it prints.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/date_cn_line.h"
#include "support/temp_dir.h"

namespace {

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

// The text as one single-quoted shell word.
std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        if (c == '\'')
            result.append("'\\''");
        else
            result.push_back(c);
    }
    result.push_back('\'');
    return result;
}

CommandResult runDatecn(const std::vector<std::string>& arguments,
                        const std::string& environment = "") {
    plumo::test::TempDir temp;
    std::string command = environment + " " + quoted(DATECN_PATH);
    for (const std::string& argument : arguments) command.append(" ").append(quoted(argument));
    command.append(" 2>").append(quoted((temp / "err").string()));
    CommandResult run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int wait = pclose(pipe);
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    run.err = temp.read("err");
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result(1);
    for (char c : line) {
        if (c == '\t')
            result.emplace_back();
        else
            result.back() += c;
    }
    return result;
}

TEST(DatecnCommand, PrintsOneLinePerDayOfAnInclusiveRange) {
    const CommandResult run = runDatecn({"2011-01-31", "2011-02-04"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> printed = lines(run.out);
    ASSERT_EQ(printed.size(), 5u);
    ASSERT_EQ(run.out.back(), '\n');
    for (std::size_t i = 0; i < printed.size(); ++i)
        EXPECT_EQ(printed[i], plumo::DateCn::DayLine(plumo::encodeDate(2011, 1, 31) + i));
    for (const std::string& line : printed) EXPECT_EQ(fields(line).size(), 9u) << line;
    EXPECT_EQ(fields(printed[2])[5], "除夕");
    EXPECT_EQ(fields(printed[3])[1], "101");
    EXPECT_EQ(fields(printed[3])[5], "春节");
    EXPECT_EQ(fields(printed[3])[7], "辛卯兔");
    EXPECT_EQ(fields(printed[4])[4], "立春");
}

TEST(DatecnCommand, SingleDayAndTheWholeRange) {
    const CommandResult one = runDatecn({"2011-05-12"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "2011-05-12\t410\t四月\t初十\t\t\t\t辛卯兔\t金牛座\n");

    const CommandResult all = runDatecn({"1901-01-01", "2050-12-31"});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<std::string> printed = lines(all.out);
    ASSERT_EQ(printed.size(), 54787u);
    EXPECT_EQ(fields(printed.front())[0], "1901-01-01");
    EXPECT_EQ(fields(printed.front())[1], "1111");
    EXPECT_EQ(fields(printed.back())[0], "2050-12-31");
    EXPECT_EQ(fields(printed.back())[1], "1118");
}

TEST(DatecnCommand, BadArgumentsGetOneLineNamingThemAndStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"2011-13-01"},
        {"2011-02-30"},
        {"2011-5-12"},
        {"12.05.2011"},
        {"tomorrow"},
        {""},
        {"1900-12-31"},
        {"2051-01-01"},
        {"2011-05-12", "2011-05-11"},
        {"2011-05-12", "2051-01-01"},
        {"2011-05-12", "x"},
        {"-x"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const CommandResult run = runDatecn(arguments);
        const std::string& culprit = arguments.back();
        EXPECT_EQ(run.status, 2) << culprit;
        EXPECT_EQ(run.out, "") << culprit;
        ASSERT_FALSE(run.err.empty()) << culprit;
        EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.back(), '\n') << run.err;
        EXPECT_NE(run.err.find("'" + culprit + "'"), std::string::npos) << run.err;
    }
    const CommandResult tooMany = runDatecn({"2011-05-01", "2011-05-02", "2011-05-03"});
    EXPECT_EQ(tooMany.status, 2);
    EXPECT_EQ(tooMany.out, "");
    EXPECT_EQ(lines(tooMany.err).size(), 1u) << tooMany.err;
}

TEST(DatecnCommand, HelpDescribesTheCommand) {
    const CommandResult run = runDatecn({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* text : {"datecn [FROM [TO]]", "YYYY-MM-DD", "1901", "2050", "status 2"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
}

TEST(DatecnCommand, WithoutArgumentsPrintsToday) {
    const std::string before = plumo::formatIsoDate(plumo::fromUnixTime(std::time(nullptr)));
    const CommandResult run = runDatecn({});
    const std::string after = plumo::formatIsoDate(plumo::fromUnixTime(std::time(nullptr)));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> printed = lines(run.out);
    ASSERT_EQ(printed.size(), 1u);
    const std::string date = fields(printed[0])[0];
    EXPECT_TRUE(date == before || date == after) << date;
    EXPECT_EQ(printed[0], plumo::DateCn::DayLine(*plumo::parseIsoDate(date)));
}

const char* const kFakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";

TEST(DatecnCommand, TodayFollowsTheClock) {
    if (!std::filesystem::exists(kFakeTimeLibrary)) GTEST_SKIP() << "libfaketime not installed";
    const std::string preload = std::string("LD_PRELOAD=") + kFakeTimeLibrary;
    const CommandResult inRange = runDatecn({}, preload + " FAKETIME='@2011-02-03 10:00:00'");
    ASSERT_EQ(inRange.status, 0) << inRange.err;
    EXPECT_EQ(inRange.out, plumo::DateCn::DayLine(plumo::encodeDate(2011, 2, 3)) + "\n");

    const CommandResult outside = runDatecn({}, preload + " FAKETIME='@2051-03-01 10:00:00'");
    EXPECT_EQ(outside.status, 2);
    EXPECT_EQ(outside.out, "");
    EXPECT_NE(outside.err.find("2051-03-01"), std::string::npos) << outside.err;
}

}  // namespace
