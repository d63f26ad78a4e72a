#include "platform/linux/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace plumo {
namespace {

constexpr int kBacklog = 8;
constexpr std::size_t kMaxRequest = 64;

struct SocketAddress {
    sockaddr_un address{};
    socklen_t size = 0;
};

SocketAddress pathAddress(const std::string& path) {
    SocketAddress result;
    result.address.sun_family = AF_UNIX;
    std::memcpy(result.address.sun_path, path.data(), path.size());
    result.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return result;
}

SocketAddress abstractAddress(const std::string& name) {
    SocketAddress result;
    result.address.sun_family = AF_UNIX;
    // sun_path[0] stays NUL: the abstract namespace.
    const std::size_t length = std::min(name.size(), sizeof(result.address.sun_path) - 1);
    std::memcpy(result.address.sun_path + 1, name.data(), length);
    result.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    return result;
}

const sockaddr* asSockaddr(const SocketAddress& a) {
    return reinterpret_cast<const sockaddr*>(&a.address);
}

int newSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

}  // namespace

std::string SingleInstanceGuard::socketName(const std::string& name) {
    return name + "." + std::to_string(getuid());
}

bool SingleInstanceGuard::isPrivateFolder(const std::string& folder) {
    struct stat info {};
    if (folder.empty() || stat(folder.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 0777) == 0700;
}

std::string SingleInstanceGuard::userRuntimeFolder() {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    return folder && isPrivateFolder(folder) ? std::string(folder) : std::string();
}

SingleInstanceGuard::SingleInstanceGuard(const std::string& name)
    : SingleInstanceGuard(name, userRuntimeFolder()) {}

SingleInstanceGuard::SingleInstanceGuard(const std::string& name,
                                         const std::string& runtimeFolder) {
    if (isPrivateFolder(runtimeFolder) && takeInRuntimeFolder(name, runtimeFolder)) return;
    takeAbstractName(name);
}

bool SingleInstanceGuard::takeInRuntimeFolder(const std::string& name, const std::string& folder) {
    const std::string socketPath = folder + "/" + name + ".socket";
    if (socketPath.size() >= sizeof(sockaddr_un::sun_path)) return false;
    const std::string lockPath = folder + "/" + name + ".lock";
    lock_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock_ < 0) return false;
    socketPath_ = socketPath;
    if (flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        alreadyRunning_ = errno == EWOULDBLOCK;
        close(lock_);
        lock_ = -1;
        return alreadyRunning_;  // any other failure: the abstract name decides
    }
    // The lock is ours: a socket file still there was left by a copy that has ended.
    unlink(socketPath.c_str());
    listening_ = newSocket();
    if (listening_ < 0) return true;  // the guard holds; only requests cannot reach us
    const SocketAddress address = pathAddress(socketPath);
    if (bind(listening_, asSockaddr(address), address.size) != 0 ||
        listen(listening_, kBacklog) != 0) {
        close(listening_);
        listening_ = -1;
    }
    return true;
}

void SingleInstanceGuard::takeAbstractName(const std::string& name) {
    socketPath_.clear();
    abstractName_ = socketName(name);
    listening_ = newSocket();
    if (listening_ < 0) return;  // no socket at all: run rather than refuse to start
    const SocketAddress address = abstractAddress(abstractName_);
    if (bind(listening_, asSockaddr(address), address.size) != 0) {
        alreadyRunning_ = errno == EADDRINUSE;
        close(listening_);
        listening_ = -1;
        return;
    }
    listen(listening_, kBacklog);
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (listening_ >= 0) {
        close(listening_);
        if (!socketPath_.empty()) unlink(socketPath_.c_str());
    }
    if (lock_ >= 0) close(lock_);
}

bool SingleInstanceGuard::sendRequest(const std::string& request) const {
    const int connection = newSocket();
    if (connection < 0) return false;
    const SocketAddress address =
        socketPath_.empty() ? abstractAddress(abstractName_) : pathAddress(socketPath_);
    const std::string line = request + "\n";
    const bool sent = connect(connection, asSockaddr(address), address.size) == 0 &&
                      send(connection, line.data(), line.size(), MSG_NOSIGNAL) ==
                          static_cast<ssize_t>(line.size());
    close(connection);
    return sent;
}

int SingleInstanceGuard::acceptConnection() const {
    if (listening_ < 0) return -1;
    return accept4(listening_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

std::string SingleInstanceGuard::readRequest(int connection) {
    char buffer[kMaxRequest];
    const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return {};
    const std::string received(buffer, static_cast<std::size_t>(got));
    return received.substr(0, received.find('\n'));
}

void SingleInstanceGuard::closeConnection(int connection) { close(connection); }

}  // namespace plumo
