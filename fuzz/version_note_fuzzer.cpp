// The version note read from an executable: any file gives "unknown" or four numbers of at
// most 65535, without reading past the file or spending more than its bounds allow.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/file_version.h"

namespace {

bool isVersion(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? dot : dot - start);
        if (part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != part.npos ||
            std::stoul(part) > 65535 || (part.size() > 1 && part[0] == '0'))
            return false;
        ++parts;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts == 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A file in memory, rewritten for every input and opened by its /proc name.
    static const int fd = ::memfd_create("version-note", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    FUZZ_CHECK(fd >= 0, "cannot make a file in memory");
    FUZZ_CHECK(::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size),
               "cannot write the file in memory");

    const std::string version = plumo::getversion(path);
    FUZZ_CHECK(version == plumo::kUnknownVersion || isVersion(version),
               "read the version '" + version + "'");
    const std::string about = plumo::aboutVersionText(version);
    FUZZ_CHECK(!about.empty(), "no About text for '" + version + "'");
    return 0;
}
