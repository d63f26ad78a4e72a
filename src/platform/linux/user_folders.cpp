#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace plumo {
namespace fs = std::filesystem;

const char* processEnvironment(const char* name) { return std::getenv(name); }

fs::path userDataHome(const EnvironmentLookup& getenv) {
    const char* dataHome = getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome && fs::path(dataHome).is_absolute()) return fs::path(dataHome);
    const char* home = getenv("HOME");
    fs::path base = home && *home ? fs::path(home) : fs::path();
    if (base.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) base = user->pw_dir;
    }
    return base / ".local" / "share";
}

bool writableByUser(const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

std::error_code makePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::error_code(errno, std::generic_category());
    return {};
}

void makeOwnerWritable(const fs::path& file) {
    std::error_code ec;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ec);
}

}  // namespace plumo
