#include "platform/linux/single_instance.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace plumo {
namespace {

const std::string kName = "plumo-test-guard-" + std::to_string(getpid());

// Runs a child process that takes the guard, reports whether it got it, and holds
// it until told to end.
struct GuardHolder {
    pid_t pid = -1;
    int toChild = -1;
    bool gotIt = false;

    GuardHolder() {
        int up[2], down[2];
        EXPECT_EQ(pipe(up), 0);
        EXPECT_EQ(pipe(down), 0);
        pid = fork();
        if (pid == 0) {
            close(up[0]);
            close(down[1]);
            SingleInstanceGuard guard(kName);
            const char answer = guard.alreadyRunning() ? 'n' : 'y';
            (void)!write(up[1], &answer, 1);
            char ignored;
            (void)!read(down[0], &ignored, 1);  // until the parent closes its end
            _exit(0);
        }
        close(up[1]);
        close(down[0]);
        char answer = 0;
        EXPECT_EQ(read(up[0], &answer, 1), 1);
        close(up[0]);
        toChild = down[1];
        gotIt = answer == 'y';
    }

    void end() {
        if (pid <= 0) return;
        close(toChild);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
    }
    ~GuardHolder() { end(); }
};

TEST(SingleInstance, SecondProcessSeesTheFirstUntilItEnds) {
    GuardHolder first;
    ASSERT_TRUE(first.gotIt);
    {
        SingleInstanceGuard here(kName);
        EXPECT_TRUE(here.alreadyRunning());
    }
    GuardHolder second;
    EXPECT_FALSE(second.gotIt);
    second.end();

    first.end();  // the kernel releases the name with the process
    SingleInstanceGuard after(kName);
    EXPECT_FALSE(after.alreadyRunning());
}

TEST(SingleInstance, GuardIsNotInheritedByStartedPrograms) {
    SingleInstanceGuard mine(kName + "-exec");
    ASSERT_FALSE(mine.alreadyRunning());
    // A program started from here (exec) must not hold the name after we drop ours.
    // The close-on-exec pipe tells when the exec has happened.
    int execDone[2];
    ASSERT_EQ(pipe2(execDone, O_CLOEXEC), 0);
    const pid_t child = fork();
    if (child == 0) {
        execlp("sleep", "sleep", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(execDone[1]);
    char ignored;
    ASSERT_EQ(read(execDone[0], &ignored, 1), 0);
    close(execDone[0]);
    mine.~SingleInstanceGuard();
    new (&mine) SingleInstanceGuard(kName + "-exec");
    EXPECT_FALSE(mine.alreadyRunning());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST(SingleInstance, NameIsPerUser) {
    EXPECT_EQ(SingleInstanceGuard::socketName("PLUMO.EXE"),
              "PLUMO.EXE." + std::to_string(getuid()));
}

}  // namespace
}  // namespace plumo
