#pragma once

// The user's own folders, and the file-system calls that make a folder hers and tell
// where she may write.

#include <filesystem>
#include <functional>
#include <system_error>

namespace plumo {

// Reads an environment variable; nullptr when unset.
using EnvironmentLookup = std::function<const char*(const char*)>;
// Whether the user can create, rename and replace files in a folder.
using WritableProbe = std::function<bool(const std::filesystem::path&)>;

// The process's own environment.
const char* processEnvironment(const char* name);

// The folder under which programs keep the user's data: "$XDG_DATA_HOME", with
// "$HOME/.local/share" when XDG_DATA_HOME is unset, empty or relative, and the home the
// password database names when HOME is unset too.
std::filesystem::path userDataHome(const EnvironmentLookup& getenv);

// The real file permissions: whether the user can create, rename and replace files in
// `folder`.
bool writableByUser(const std::filesystem::path& folder);

// Makes the one folder `folder`, whose parent exists, private to the user. Something
// already there under that name is no failure. Returns the failure, empty on success.
std::error_code makePrivateFolder(const std::filesystem::path& folder);

// Lets the user read and write a file of hers, whatever permissions it was copied with.
// A failure is passed over.
void makeOwnerWritable(const std::filesystem::path& file);

}  // namespace plumo
