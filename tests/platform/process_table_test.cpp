// The /proc process table against real processes: copies of sleep standing in for the memo
// program.
#include "platform/linux/proc_table.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

class ProcessTableTest : public ::testing::Test {
protected:
    ProcessTableTest() {
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    }
    ~ProcessTableTest() override {
        for (pid_t pid : children) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    fs::path program(const std::string& name) {
        const fs::path file = dir / name;
        if (!fs::exists(file)) fs::copy_file("/bin/sleep", file);
        return file;
    }

    // Starts `file` with "60" and returns once it runs that file (or failed to).
    pid_t start(const fs::path& file, uid_t asUser = ::getuid()) {
        int pipefd[2];
        if (::pipe2(pipefd, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (asUser != ::getuid() && (::setgid(asUser) != 0 || ::setuid(asUser) != 0))
                _exit(126);
            ::execl(file.c_str(), file.c_str(), "60", nullptr);
            _exit(127);
        }
        ::close(pipefd[1]);
        char byte;
        while (::read(pipefd[0], &byte, 1) > 0) {
        }
        ::close(pipefd[0]);  // closed by the exec
        children.push_back(pid);
        return pid;
    }

    bool alive(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == 0; }
    int signalThatEnded(pid_t pid) {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        std::erase(children, pid);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

    test::TempDir dir;
    std::vector<pid_t> children;
    ProcTable table;
    // Named like the memo program but unique to this run, so that the test never finds or
    // ends a real memo program, nor the copies of a test running beside it.
    const std::string name = "Ntv" + std::to_string(::getpid());
    const std::string upper = "NTV" + std::to_string(::getpid());
    const std::string mixed = "nTV" + std::to_string(::getpid());
    const std::string lower = "ntv" + std::to_string(::getpid());
};

TEST_F(ProcessTableTest, FindsTheProgramByItsFileNameInAnyLetterCase) {
    EXPECT_EQ(table.findFirst(name), 0);
    const pid_t pid = start(program(name));
    EXPECT_EQ(table.findFirst(name), pid);
    EXPECT_EQ(table.findFirst(mixed), pid);
    EXPECT_EQ(table.findFirst(name.substr(0, name.size() - 1)), 0);
    EXPECT_EQ(table.findFirst(name + ".exe"), 0);
    EXPECT_EQ(table.findFirst(""), 0);
    EXPECT_EQ(table.findFirst((dir / name).string()), 0) << "the entry is the file name";
}

TEST_F(ProcessTableTest, TerminatesEveryMatchAtOnceAndNothingElse) {
    const pid_t first = start(program(name));
    const pid_t upperCased = start(program(upper));
    const pid_t other = start(program(name + "2"));
    EXPECT_EQ(table.terminateAll(lower), 2);
    // Gone from the table as soon as the call returns.
    EXPECT_EQ(table.findFirst(name), 0);
    EXPECT_EQ(table.findFirst(upper), 0);
    EXPECT_EQ(signalThatEnded(first), SIGKILL);
    EXPECT_EQ(signalThatEnded(upperCased), SIGKILL);
    EXPECT_TRUE(alive(other));
    EXPECT_EQ(table.terminateAll(name), 0);
}

TEST_F(ProcessTableTest, ProgramFileReplacedWhileRunningStillCounts) {
    const pid_t pid = start(program(name));
    fs::remove(dir / name);
    EXPECT_EQ(table.findFirst(name), pid);
    EXPECT_EQ(table.terminateAll(name), 1);
    EXPECT_EQ(signalThatEnded(pid), SIGKILL);
}

TEST_F(ProcessTableTest, ProcessesOfAnotherUserAreNeitherFoundNorEnded) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root to run a process as another user";
    const uid_t nobody = 65534;
    const pid_t pid = start(program(name), nobody);
    ASSERT_TRUE(alive(pid)) << "could not run the program as user " << nobody;
    EXPECT_EQ(table.findFirst(name), 0);
    EXPECT_EQ(table.terminateAll(name), 0);
    EXPECT_TRUE(alive(pid));
}

TEST(ProcessNames, FileNamePartAfterTheLastSeparator) {
    EXPECT_EQ(fileNamePart("/opt/plumo/Notavo"), "Notavo");
    EXPECT_EQ(fileNamePart("C:\\Program Files\\Notavo.exe"), "Notavo.exe");
    EXPECT_EQ(fileNamePart("C:Notavo.exe"), "Notavo.exe");
    EXPECT_EQ(fileNamePart("Notavo"), "Notavo");
    EXPECT_EQ(upperCasedName("Notavo-2.x"), "NOTAVO-2.X");
}

}  // namespace
}  // namespace plumo
