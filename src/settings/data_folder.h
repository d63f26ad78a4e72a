#pragma once

// Where the program keeps what it writes: the settings, the memo database, the skin
// pictures the outfit change renames and the files handed to the memo program.
//
// A program folder the user can write to (the build's folder, or a copy anywhere) keeps
// everything itself. An installed one (read-only for the user, or marked by the install
// with the file "installed") is shared by every user: each user then gets a folder of
// her own, "$XDG_DATA_HOME/plumo/" ("~/.local/share/plumo/" by default), made at her
// first start from the installed defaults. Sounds and programs always come from the
// program folder. The companion and the memo program both decide through here, so they
// meet at the same database and hand-off files.
//
// Plain C++, no Qt.

#include <filesystem>
#include <stdexcept>

#include "platform/user_folders.h"

namespace plumo {

// The file an installed program folder holds; its presence alone counts.
inline constexpr const char* kInstalledMarker = "installed";

struct DataFolder {
    std::filesystem::path programFolder;  // programs, sounds and the defaults
    std::filesystem::path folder;         // what the program writes; programFolder if portable
    bool installed = false;
};

// Thrown when the user's folder cannot be made; what() names the file or folder at fault.
class DataFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "$XDG_DATA_HOME/plumo", with "$HOME/.local/share" when XDG_DATA_HOME is unset, empty or
// relative, and the password database's home when HOME is unset too.
std::filesystem::path userDataFolder(const EnvironmentLookup& getenv);

// Decides, touching nothing: portable when the program folder (and its config/ and skin/
// folders, where present) is writable and carries no install marker.
DataFolder chooseDataFolder(const std::filesystem::path& programFolder,
                            const EnvironmentLookup& getenv, const WritableProbe& writable);

// Makes the user's folder when installed: the folders (mode 0700), config/config.ini and
// the skin pictures copied from the program folder where the user has none yet, and,
// when `withDatabase`, an empty memo database config/d.ini (mode 0600). Never replaces
// anything the user has; the outfit pictures are left alone once any of them is there,
// since the outfit change renames them. Does nothing for a portable folder.
// Throws DataFolderError.
void prepareDataFolder(const DataFolder& data, bool withDatabase);

// The path a session should start `executable` by: for an installed program folder
// PREFIX/lib/plumo/, PREFIX/bin/<name> when that leads to the same file (it outlives
// upgrades and reads better), else `executable` itself.
std::filesystem::path stableExecutable(const DataFolder& data,
                                       const std::filesystem::path& executable);

// Both of the above with the process's environment and the real file permissions.
DataFolder openDataFolder(const std::filesystem::path& programFolder, bool withDatabase = true);

}  // namespace plumo
