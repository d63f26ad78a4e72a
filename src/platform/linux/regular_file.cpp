#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/file_descriptor.h"

namespace plumo {

namespace {

std::string systemError(const char* action, int error) {
    return std::string(action) + ": " + std::strerror(error);
}

}  // namespace

std::string readRegularFile(const std::string& path, std::size_t maxBytes) {
    const auto maxFileBytes = static_cast<off_t>(maxBytes);
    // O_NONBLOCK so that a named pipe in place of the file cannot hang the open.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throw FileReadError(systemError("cannot open", errno));

    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw FileReadError(systemError("cannot read", errno));
    if (S_ISDIR(info.st_mode)) throw FileReadError(systemError("cannot read", EISDIR));
    if (!S_ISREG(info.st_mode)) throw FileReadError("not a regular file");
    if (info.st_size > maxFileBytes) {
        throw FileReadError("file is too large (" + std::to_string(info.st_size) + " bytes)");
    }

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            throw FileReadError(systemError("cannot read", errno));
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (bytes.size() > static_cast<std::size_t>(maxFileBytes)) {
            throw FileReadError("file is too large");
        }
    }
    return bytes;
}

}  // namespace plumo
