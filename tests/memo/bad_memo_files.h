#pragma once

// Files that stand where the memo database should be but are not a sound memo
// database, and a record of a folder that shows whether refusing one changed anything.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace plumo::test {

struct BadMemoFile {
    const char* name;
    // Makes the entry at `file`; its folder exists.
    void (*make)(const std::filesystem::path& file);
};

// Entries no program may take for the memo database: nothing, a folder, links, text,
// truncated or foreign SQLite files, among them ones whose journal or write-ahead log
// the engine would replay on a read-write open.
const std::vector<BadMemoFile>& badMemoFiles();

// A memo database made by Notavo, with items, in which one page has been overwritten.
void makeDamagedMemoDatabase(const std::filesystem::path& file);

// Every entry under `folder`: a file's bytes, a link's target, a folder's mark.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder);

}  // namespace plumo::test
