#pragma once

// Errors of the memo database layer. Each carries the text to show the user
// as it stands (the engine's own message where the engine raised it).

#include <filesystem>
#include <stdexcept>
#include <string>

namespace plumo {

class MemoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The engine refused a statement (syntax, missing table or column, locked or damaged file).
class DatabaseError : public MemoError {
public:
    using MemoError::MemoError;
};

// Another program held the file locked for longer than the statement would wait (the
// engine's SQLITE_BUSY or SQLITE_LOCKED). Trying again later may well succeed.
class DatabaseBusyError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// Why a file was refused as the memo database. Every refusal leaves the file as it was.
enum class OpenFailure {
    Missing,     // nothing at that path
    NotAFile,    // a folder or another kind of entry
    Unreadable,  // the system or the engine would not let it be read
    Empty,       // zero bytes
    NotSqlite,   // no SQLite header
    NotMemo,     // a SQLite database without the memo tables and columns
    Damaged,     // a memo database that fails the engine's checks
    ReadOnly,    // a memo database that cannot be written
};

// The memo database could not be opened for the run. what() is the English text the
// command line shows; describeInChinese() gives the reason for the windows.
class DatabaseOpenError : public DatabaseError {
public:
    DatabaseOpenError(std::filesystem::path file, OpenFailure failure, std::string detail = {});

    const std::filesystem::path& file() const { return file_; }
    OpenFailure failure() const { return failure_; }
    // The engine's or the system's own words, when there are any.
    const std::string& detail() const { return detail_; }

private:
    std::filesystem::path file_;
    OpenFailure failure_;
    std::string detail_;
};

// The reason of a refused open in Chinese, for a message that names the file beside it.
std::string describeInChinese(const DatabaseOpenError& error);

// An older memo database could not be brought over to item ids that are never used
// twice; the file was left as it was. what() names the file and the reason in English.
class IdConversionError : public DatabaseError {
public:
    IdConversionError(std::filesystem::path file, std::string reason);

    const std::filesystem::path& file() const { return file_; }
    const std::string& reason() const { return reason_; }

private:
    std::filesystem::path file_;
    std::string reason_;
};

// What went wrong with an IdConversionError in Chinese, for a message that names the file.
std::string describeInChinese(const IdConversionError& error);

// A field value could not be read as the type asked for (a Null read as text, for example).
class ConversionError : public MemoError {
public:
    using MemoError::MemoError;
};

}  // namespace plumo
