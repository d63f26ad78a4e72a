#include "platform/linux/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace plumo {

std::string SingleInstanceGuard::socketName(const std::string& name) {
    return name + "." + std::to_string(getuid());
}

SingleInstanceGuard::SingleInstanceGuard(const std::string& name) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;  // no socket at all: run rather than refuse to start

    const std::string abstractName = socketName(name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // sun_path[0] stays NUL: the abstract namespace.
    const std::size_t length = std::min(abstractName.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, abstractName.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);

    if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        alreadyRunning_ = errno == EADDRINUSE;
        close(fd_);
        fd_ = -1;
    }
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace plumo
