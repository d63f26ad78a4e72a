#include "platform/linux/proc_table.h"

#include <dirent.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include "platform/linux/file_descriptor.h"

namespace plumo {
namespace {

// How long terminateAll waits for the ended processes to leave the table, so that the
// next look finds them gone. Short: it runs on the user-interface thread.
constexpr std::chrono::milliseconds kExitWait{100};

constexpr const char* kProcRoot = "/proc";

std::optional<long> processId(const char* name) {
    long pid = 0;
    for (const char* c = name; *c; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c))) return std::nullopt;
        pid = pid * 10 + (*c - '0');
        if (pid > 1L << 30) return std::nullopt;
    }
    return pid > 0 ? std::optional<long>(pid) : std::nullopt;
}

// The real user id of a process, from the "Uid:" line of its status file.
std::optional<uid_t> realUser(const std::string& processDir) {
    std::ifstream status(processDir + "/status");
    std::string key;
    while (status >> key) {
        if (key == "Uid:") {
            unsigned long uid = 0;
            if (status >> uid) return static_cast<uid_t>(uid);
            return std::nullopt;
        }
        status.ignore(1 << 16, '\n');
    }
    return std::nullopt;
}

// The file name of the process's executable, or nothing when it cannot be read.
std::optional<std::string> executableName(const std::string& processDir) {
    std::string target(4096, '\0');
    const ssize_t length =
        ::readlink((processDir + "/exe").c_str(), target.data(), target.size() - 1);
    if (length <= 0) return std::nullopt;
    target.resize(static_cast<std::size_t>(length));
    // A program file replaced or removed while it runs is still that program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.size() > kDeleted.size() && target.ends_with(kDeleted))
        target.resize(target.size() - kDeleted.size());
    return std::string(fileNamePart(target));
}

struct Entry {
    long pid;
    std::string executable;
};

// Walks the processes of this user (but not this process) in the order of the table;
// `visit` returns false to stop the walk.
void forEachProcess(const std::string& root, const std::function<bool(const Entry&)>& visit) {
    DIR* dir = ::opendir(root.c_str());
    if (!dir) return;
    const uid_t self = ::getuid();
    const long ownId = ::getpid();
    while (const dirent* item = ::readdir(dir)) {
        const auto pid = processId(item->d_name);
        if (!pid || *pid == ownId) continue;
        const std::string processDir = root + "/" + item->d_name;
        if (realUser(processDir) != self) continue;
        auto executable = executableName(processDir);
        if (!executable) continue;
        if (!visit(Entry{*pid, std::move(*executable)})) break;
    }
    ::closedir(dir);
}

int openPidfd(long pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

bool sendKill(int pidfd) {
    return ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) == 0;
}

void awaitExits(const std::vector<int>& pidfds) {
    std::vector<pollfd> waiting;
    for (int fd : pidfds) waiting.push_back(pollfd{fd, POLLIN, 0});
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    while (!waiting.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        const int ready = ::poll(waiting.data(), waiting.size(), static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return;
        std::erase_if(waiting, [](const pollfd& p) { return p.revents != 0; });
    }
}

}  // namespace

std::string upperCasedName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string_view fileNamePart(std::string_view entry) {
    const auto cut = entry.find_last_of("/\\:");
    return cut == std::string_view::npos ? entry : entry.substr(cut + 1);
}

long ProcTable::findFirst(std::string_view name) const {
    if (name.empty()) return 0;
    const std::string wanted = upperCasedName(name);
    long found = 0;
    forEachProcess(kProcRoot, [&](const Entry& entry) {
        if (upperCasedName(entry.executable) != wanted) return true;
        found = entry.pid;
        return false;
    });
    return found;
}

int ProcTable::terminateAll(std::string_view name) {
    if (name.empty()) return 0;
    const std::string wanted = upperCasedName(name);
    std::vector<long> matches;
    forEachProcess(kProcRoot, [&](const Entry& entry) {
        if (upperCasedName(fileNamePart(entry.executable)) == wanted ||
            upperCasedName(entry.executable) == wanted)
            matches.push_back(entry.pid);
        return true;
    });

    std::deque<FileDescriptor> handles;
    std::vector<int> ended;
    for (long pid : matches) {
        // Hold the process first, then check that it is still the one that matched: its id
        // may have been given to another process since the walk.
        auto& handle = handles.emplace_back(openPidfd(pid));
        if (handle.get() < 0) continue;
        const std::string processDir = std::string(kProcRoot) + "/" + std::to_string(pid);
        const auto executable = executableName(processDir);
        if (!executable || realUser(processDir) != ::getuid()) continue;
        if (upperCasedName(fileNamePart(*executable)) != wanted &&
            upperCasedName(*executable) != wanted)
            continue;
        if (sendKill(handle.get())) ended.push_back(handle.get());
    }
    awaitExits(ended);
    return static_cast<int>(ended.size());
}

}  // namespace plumo
