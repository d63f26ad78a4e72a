#include "settings/data_folder.h"

#include <array>
#include <string>
#include <system_error>

#include "memo/memo_database.h"
#include "memo/memo_schema.h"

namespace plumo {
namespace fs = std::filesystem;

namespace {

// The pictures the outfit change renames among themselves, with their pictures at twice
// the size: a user whose outfits are there already gets none of them, so that no picture
// comes to lie beside the other outfit's.
constexpr std::array<const char*, 6> kOutfitPictures = {"g", "g1", "g2", "g@2x", "g1@2x", "g2@2x"};

bool isOutfitPicture(const fs::path& name) {
    for (const char* picture : kOutfitPictures)
        if (name == picture) return true;
    return false;
}

std::string failure(const std::string& what, const fs::path& path, const std::error_code& ec) {
    return "Cannot " + what + " " + path.string() + ": " + ec.message();
}

// Makes `folder` and its parents; the ones it makes are private to the user.
void makeFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    if (folder.has_parent_path() && folder.parent_path() != folder)
        makeFolder(folder.parent_path());
    if (const std::error_code made = makePrivateFolder(folder))
        throw DataFolderError(failure("create the folder", folder, made));
    if (!fs::is_directory(folder, ec))
        throw DataFolderError("Cannot create the folder " + folder.string() +
                              ": a file of that name is in the way");
}

// Copies `from` to `to` unless something already stands at `to`; the copy belongs to the
// user, who can write it whatever the installed file's permissions.
void copyIfAbsent(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::symlink_status(to, ec).type() != fs::file_type::not_found) return;
    if (!fs::is_regular_file(from, ec)) return;
    fs::copy_file(from, to, fs::copy_options::none, ec);
    if (ec && ec != std::errc::file_exists)
        throw DataFolderError(failure("copy " + from.string() + " to", to, ec));
    makeOwnerWritable(to);
}

void copySkins(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return;
    makeFolder(to);
    bool hasOutfit = false;
    for (const char* picture : kOutfitPictures)
        hasOutfit =
            hasOutfit || fs::symlink_status(to / picture, ec).type() != fs::file_type::not_found;
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        const fs::path name = entry.path().filename();
        if (hasOutfit && isOutfitPicture(name)) continue;
        copyIfAbsent(entry.path(), to / name);
    }
    if (ec) throw DataFolderError(failure("read the folder", from, ec));
}

}  // namespace

fs::path userDataFolder(const EnvironmentLookup& getenv) { return userDataHome(getenv) / "plumo"; }

DataFolder chooseDataFolder(const fs::path& programFolder, const EnvironmentLookup& getenv,
                            const WritableProbe& writable) {
    DataFolder data;
    data.programFolder = programFolder;
    std::error_code ec;
    bool portable =
        writable(programFolder) &&
        fs::symlink_status(programFolder / kInstalledMarker, ec).type() == fs::file_type::not_found;
    for (const char* inside : {"config", "skin"}) {
        const fs::path folder = programFolder / inside;
        if (portable && fs::is_directory(folder, ec)) portable = writable(folder);
    }
    data.installed = !portable;
    data.folder = portable ? programFolder : userDataFolder(getenv);
    return data;
}

void prepareDataFolder(const DataFolder& data, bool withDatabase) {
    if (!data.installed) return;
    makeFolder(data.folder / "config");
    copyIfAbsent(data.programFolder / "config" / "config.ini",
                 data.folder / "config" / "config.ini");
    copySkins(data.programFolder / "skin", data.folder / "skin");
    if (!withDatabase) return;
    const fs::path database = memoDatabasePath(data.folder);
    std::error_code ec;
    if (fs::symlink_status(database, ec).type() != fs::file_type::not_found) return;
    try {
        createMemoDatabase(database);
    } catch (const std::exception& e) {
        // Another start made it meanwhile: theirs is as good.
        if (fs::symlink_status(database, ec).type() == fs::file_type::not_found)
            throw DataFolderError(e.what());
    }
}

fs::path stableExecutable(const DataFolder& data, const fs::path& executable) {
    if (!data.installed) return executable;
    const fs::path prefix = data.programFolder.lexically_normal().parent_path().parent_path();
    const fs::path launcher = prefix / "bin" / executable.filename();
    std::error_code ec;
    if (fs::equivalent(launcher, executable, ec) && !ec) return launcher;
    return executable;
}

DataFolder openDataFolder(const fs::path& programFolder, bool withDatabase) {
    DataFolder data = chooseDataFolder(programFolder, processEnvironment, writableByUser);
    prepareDataFolder(data, withDatabase);
    return data;
}

}  // namespace plumo
