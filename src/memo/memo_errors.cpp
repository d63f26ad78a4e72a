#include "memo/memo_errors.h"

namespace plumo {
namespace {

const char* englishReason(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::Missing:
            return "the file does not exist";
        case OpenFailure::NotAFile:
            return "it is not a file";
        case OpenFailure::Unreadable:
            return "it cannot be read";
        case OpenFailure::Empty:
            return "the file is empty, not a memo database";
        case OpenFailure::NotSqlite:
            return "it is not a SQLite database";
        case OpenFailure::NotMemo:
            return "it is not a memo database";
        case OpenFailure::Damaged:
            return "the file is damaged; it was left untouched";
        case OpenFailure::ReadOnly:
            return "it cannot be written";
    }
    return "";
}

const char* chineseReason(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::Missing:
            return "文件不存在";
        case OpenFailure::NotAFile:
            return "这不是一个文件";
        case OpenFailure::Unreadable:
            return "文件无法读取";
        case OpenFailure::Empty:
            return "文件是空的，不是备忘录数据库";
        case OpenFailure::NotSqlite:
            return "文件不是 SQLite 数据库";
        case OpenFailure::NotMemo:
            return "文件不是备忘录数据库";
        case OpenFailure::Damaged:
            return "文件已损坏，未作任何改动";
        case OpenFailure::ReadOnly:
            return "文件不能写入";
    }
    return "";
}

}  // namespace

DatabaseOpenError::DatabaseOpenError(std::filesystem::path file, OpenFailure failure,
                                     std::string detail)
    : DatabaseError("Cannot open the memo database " + file.string() + ": " +
                    englishReason(failure) + (detail.empty() ? "" : " (" + detail + ")")),
      file_(std::move(file)),
      failure_(failure),
      detail_(std::move(detail)) {}

IdConversionError::IdConversionError(std::filesystem::path file, std::string reason)
    : DatabaseError("Cannot update the memo database " + file.string() +
                    " so that item ids are never used twice: " + reason +
                    "; it was left as it was"),
      file_(std::move(file)),
      reason_(std::move(reason)) {}

std::string describeInChinese(const DatabaseOpenError& error) {
    std::string text = chineseReason(error.failure());
    if (!error.detail().empty()) text += "（" + error.detail() + "）";
    return text;
}

std::string describeInChinese(const IdConversionError& error) {
    return "没能改为不再重复使用事项编号，文件未作任何改动（" + error.reason() + "）";
}

}  // namespace plumo
