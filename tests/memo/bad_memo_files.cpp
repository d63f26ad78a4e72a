#include "bad_memo_files.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "notavo_process.h"

namespace plumo::test {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

sqlite3* openRaw(const fs::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.string());
    return db;
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void makeSqlite(const fs::path& file, const char* schema) {
    sqlite3* db = openRaw(file);
    exec(db, schema);
    sqlite3_close(db);
}

// Copies the files of a database whose writer is still inside its work, as a crash
// would leave them: the copy carries a log or journal that the engine would replay.
void copyInFlight(const fs::path& file, const char* journalMode, const char* work,
                  const char* sideFile) {
    const fs::path source = file.parent_path() / "in-flight" / "source.db";
    fs::create_directories(source.parent_path());
    sqlite3* db = openRaw(source);
    exec(db, journalMode);
    exec(db, work);
    fs::copy_file(source, file);
    fs::copy_file(source.string() + sideFile, file.string() + sideFile);
    sqlite3_close(db);
    fs::remove_all(source.parent_path());
}

const std::vector<BadMemoFile> kBadMemoFiles = {
    {"Missing", [](const fs::path&) {}},
    {"MissingFolder", [](const fs::path& file) { fs::remove(file.parent_path()); }},
    {"Empty", [](const fs::path& file) { writeFile(file, ""); }},
    {"TextFile", [](const fs::path& file) { writeFile(file, "[setting]\ntime=on\n"); }},
    {"Folder", [](const fs::path& file) { fs::create_directories(file); }},
    {"DanglingLink",
     [](const fs::path& file) { fs::create_symlink(file.parent_path() / "nowhere", file); }},
    {"LinkToText",
     [](const fs::path& file) {
         writeFile(file.parent_path() / "notes.txt", "notes");
         fs::create_symlink("notes.txt", file);
     }},
    {"HeaderOnly",
     [](const fs::path& file) { writeFile(file, std::string("SQLite format 3\0", 16)); }},
    {"GarbageAfterHeader",
     [](const fs::path& file) {
         writeFile(file, std::string("SQLite format 3\0", 16) + std::string(8192, '\xa5'));
     }},
    {"DatabaseWithoutTables",
     [](const fs::path& file) { makeSqlite(file, "create table other(x integer);"); }},
    {"DatabaseWithoutMaster",
     [](const fs::path& file) {
         makeSqlite(file,
                    "create table log(id integer primary key, title text, flag integer, "
                    "status integer, reminder real);");
     }},
    {"LogWithoutReminder",
     [](const fs::path& file) {
         makeSqlite(file,
                    "create table log(id integer primary key, title text, flag integer, "
                    "status integer); create table master(pwd text, created text);");
     }},
    {"ForeignDatabaseWithUnappliedLog",
     [](const fs::path& file) {
         copyInFlight(file, "pragma journal_mode=wal; pragma wal_autocheckpoint=0;",
                      "create table other(x); insert into other values('kept as is');", "-wal");
     }},
    {"ForeignDatabaseWithHotJournal",
     [](const fs::path& file) {
         copyInFlight(file, "pragma journal_mode=delete; pragma cache_size=1;",
                      "create table other(x); begin; "
                      "with recursive n(i) as (select 1 union all select i+1 from n where i<500) "
                      "insert into other select hex(randomblob(200)) from n;",
                      "-journal");
     }},
};

}  // namespace

const std::vector<BadMemoFile>& badMemoFiles() { return kBadMemoFiles; }

void makeDamagedMemoDatabase(const fs::path& file) {
    initMemoDatabase(file);
    {
        RawConnection raw(file);
        raw.exec(
            "with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
            "insert into log(title,reminder) select 'item ' || i || ' to keep', 46000+i from n");
    }
    // The last page belongs to the items or their index: its header now names no page type.
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(fs::file_size(file) - 4096));
    out.write("\0\0\0\0\0\0\0\0", 8);
}

std::map<std::string, std::string> folderContents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = fs::relative(it->path(), folder).string();
        if (it->is_symlink()) {
            contents[name] = "link to " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            contents[name] = "folder";
        } else {
            std::ifstream in(it->path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            contents[name] = bytes.str();
        }
    }
    return contents;
}

}  // namespace plumo::test
