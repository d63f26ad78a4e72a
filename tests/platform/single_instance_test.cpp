#include "platform/linux/single_instance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace plumo {
namespace {

const std::string kName = "plumo-test-guard-" + std::to_string(getpid());

// Runs a child process that takes the guard, reports whether it got it, and holds
// it until told to end; the child ends without running the guard's destructor. Without
// a folder the guard finds the runtime folder itself.
struct GuardHolder {
    pid_t pid = -1;
    int toChild = -1;
    bool gotIt = false;

    explicit GuardHolder(const std::optional<std::string>& folder = std::nullopt) {
        int up[2], down[2];
        EXPECT_EQ(pipe(up), 0);
        EXPECT_EQ(pipe(down), 0);
        pid = fork();
        if (pid == 0) {
            close(up[0]);
            close(down[1]);
            std::optional<SingleInstanceGuard> guard;
            if (folder)
                guard.emplace(kName, *folder);
            else
                guard.emplace(kName);
            const char answer = guard->alreadyRunning() ? 'n' : 'y';
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

// A folder of this user that nobody else may enter, as a session's runtime folder is.
struct RuntimeFolder {
    test::TempDir dir;
    RuntimeFolder() { chmod(path().c_str(), 0700); }
    std::string path() const { return dir.path().string(); }
};

// Whatever `guard` listens on holds exactly one connection, carrying `request`.
void expectRequest(const SingleInstanceGuard& guard, const std::string& request) {
    const int connection = guard.acceptConnection();
    ASSERT_GE(connection, 0);
    EXPECT_EQ(SingleInstanceGuard::readRequest(connection), request);
    close(connection);
    EXPECT_LT(guard.acceptConnection(), 0);
}

TEST(SingleInstance, PrivateRuntimeFolderHoldsTheGuard) {
    RuntimeFolder folder;
    EXPECT_TRUE(SingleInstanceGuard::isPrivateFolder(folder.path()));
    GuardHolder first(folder.path());
    ASSERT_TRUE(first.gotIt);
    {
        SingleInstanceGuard here(kName, folder.path());
        EXPECT_TRUE(here.inRuntimeFolder());
        EXPECT_TRUE(here.alreadyRunning());
    }
    // Ended without a word, the first copy leaves its socket file behind: no hindrance.
    first.end();
    SingleInstanceGuard after(kName, folder.path());
    EXPECT_TRUE(after.inRuntimeFolder());
    EXPECT_FALSE(after.alreadyRunning());
}

TEST(SingleInstance, SecondStartSendsItsRequestToTheFirst) {
    RuntimeFolder folder;
    for (const std::string& where : {folder.path(), std::string()}) {
        SCOPED_TRACE(where.empty() ? "abstract name" : "runtime folder");
        SingleInstanceGuard first(kName + "-request", where);
        ASSERT_FALSE(first.alreadyRunning());
        ASSERT_GE(first.listeningSocket(), 0);
        EXPECT_LT(first.acceptConnection(), 0);  // nobody has asked yet

        SingleInstanceGuard second(kName + "-request", where);
        ASSERT_TRUE(second.alreadyRunning());
        EXPECT_EQ(second.inRuntimeFolder(), !where.empty());
        EXPECT_LT(second.listeningSocket(), 0);
        EXPECT_TRUE(second.sendRequest("show"));
        expectRequest(first, "show");
    }
}

TEST(SingleInstance, AnotherUserHoldingTheAbstractNameDoesNotStopHer) {
    // Anybody on the machine can bind an abstract name, hers included.
    const std::string name = kName + "-taken";
    const int squatter = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(squatter, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string abstractName = SingleInstanceGuard::socketName(name);
    std::memcpy(address.sun_path + 1, abstractName.data(), abstractName.size());
    ASSERT_EQ(
        bind(squatter, reinterpret_cast<const sockaddr*>(&address),
             static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size())),
        0);
    ASSERT_EQ(listen(squatter, 1), 0);

    RuntimeFolder folder;
    SingleInstanceGuard mine(name, folder.path());
    EXPECT_FALSE(mine.alreadyRunning());
    // Only without a runtime folder does the abstract name decide.
    EXPECT_TRUE(SingleInstanceGuard(name, "").alreadyRunning());
    close(squatter);
}

TEST(SingleInstance, FolderOthersMayEnterIsNoRuntimeFolder) {
    RuntimeFolder folder;
    chmod(folder.path().c_str(), 0755);
    EXPECT_FALSE(SingleInstanceGuard::isPrivateFolder(folder.path()));
    SingleInstanceGuard guard(kName + "-open", folder.path());
    EXPECT_FALSE(guard.inRuntimeFolder());
    EXPECT_FALSE(guard.alreadyRunning());
    EXPECT_FALSE(SingleInstanceGuard::isPrivateFolder(folder.path() + "/missing"));
}

}  // namespace
}  // namespace plumo
