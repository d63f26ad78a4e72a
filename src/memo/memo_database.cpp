#include "memo/memo_database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "memo/jet_dialect.h"
#include "memo/memo_errors.h"
#include "memo/sqlite_statement.h"

namespace plumo {
namespace {

const char* typeName(const MemoField::Value& value) {
    switch (value.index()) {
        case 0:
            return "Null";
        case 1:
            return "Integer";
        case 2:
            return "Double";
        default:
            return "String";
    }
}

[[noreturn]] void conversionFailed(const std::string& field, const MemoField::Value& value,
                                   const char* wanted) {
    throw ConversionError("Could not convert field '" + field + "' of type (" + typeName(value) +
                          ") into type (" + wanted + ")");
}

MemoField::Value columnValue(const SqliteStatement& statement, int column) {
    switch (statement.columnType(column)) {
        case SQLITE_NULL:
            return std::monostate{};
        case SQLITE_INTEGER:
            return statement.integer(column);
        case SQLITE_FLOAT:
            return statement.real(column);
        default:
            return statement.text(column);
    }
}

}  // namespace

std::string MemoField::asString() const {
    switch (value_.index()) {
        case 1:
            return std::to_string(std::get<std::int64_t>(value_));
        case 2: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.15g", std::get<double>(value_));
            return buffer;
        }
        case 3:
            return std::get<std::string>(value_);
        default:
            conversionFailed(name_, value_, "String");
    }
}

std::int64_t MemoField::asInteger() const {
    switch (value_.index()) {
        case 1:
            return std::get<std::int64_t>(value_);
        case 2: {
            const double v = std::get<double>(value_);
            if (!std::isfinite(v) || std::fabs(v) > 9.2e18)
                conversionFailed(name_, value_, "Int64");
            return std::llround(v);
        }
        case 3: {
            const std::string& text = std::get<std::string>(value_);
            std::int64_t v = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
            if (ec != std::errc() || end != text.data() + text.size() || text.empty())
                conversionFailed(name_, value_, "Int64");
            return v;
        }
        default:
            conversionFailed(name_, value_, "Int64");
    }
}

double MemoField::asFloat() const {
    switch (value_.index()) {
        case 1:
            return static_cast<double>(std::get<std::int64_t>(value_));
        case 2:
            return std::get<double>(value_);
        case 3: {
            const std::string& text = std::get<std::string>(value_);
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size())
                conversionFailed(name_, value_, "Double");
            return v;
        }
        default:
            conversionFailed(name_, value_, "Double");
    }
}

void MemoQuery::clear() {
    text_.clear();
    fields_.clear();
}

void MemoQuery::setText(std::string_view line) {
    text_.assign(line);
    text_ += "\r\n";
}

MemoQuery::MemoQuery(sqlite3* connection) : connection_(connection) {}

MemoQuery::~MemoQuery() = default;

void MemoQuery::forgetPreparedStatements() { preparedStatements_.clear(); }

SqliteStatement& MemoQuery::prepared(const std::string& sql) {
    constexpr std::size_t kKept = 4;
    auto found = std::find_if(preparedStatements_.begin(), preparedStatements_.end(),
                              [&](const auto& entry) { return entry.first == sql; });
    if (found != preparedStatements_.end()) {
        std::rotate(preparedStatements_.begin(), found, found + 1);
    } else {
        auto statement = std::make_unique<SqliteStatement>(connection_, sql);
        if (preparedStatements_.size() == kKept) preparedStatements_.pop_back();
        preparedStatements_.emplace(preparedStatements_.begin(), sql, std::move(statement));
    }
    return *preparedStatements_.front().second;
}

SqliteStatement& MemoQuery::preparedWithParameters() {
    std::vector<double> parameters;
    const std::string sql = translateJetStatement(text_, &parameters);
    SqliteStatement& statement = prepared(sql);
    for (std::size_t i = 0; i < parameters.size(); ++i)
        statement.bindReal(static_cast<int>(i + 1), parameters[i]);
    return statement;
}

namespace {

// Resets a kept statement however its run ends, so that no read stays open on the file
// while the memo program wants to write.
struct ResetWhenDone {
    SqliteStatement& statement;
    ~ResetWhenDone() { statement.reset(); }
};

}  // namespace

void MemoQuery::open() {
    fields_.clear();
    SqliteStatement& statement = preparedWithParameters();
    ResetWhenDone done{statement};
    const int columns = statement.columnCount();
    if (columns == 0) throw DatabaseError("The statement does not return a result set.");
    // The first row is copied out and the statement reset at once.
    if (!statement.step()) return;
    std::vector<MemoField> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        row.emplace_back(statement.columnName(c), columnValue(statement, c));
    fields_ = std::move(row);
}

void MemoQuery::execute() {
    fields_.clear();
    SqliteStatement& statement = preparedWithParameters();
    ResetWhenDone done{statement};
    statement.run();
}

const MemoField& MemoQuery::field(std::string_view name) const {
    for (const MemoField& f : fields_)
        if (equalsIgnoringCase(f.name(), name)) return f;
    if (fields_.empty()) throw DatabaseError("No current record.");
    throw DatabaseError("Field '" + std::string(name) + "' not found.");
}

namespace {

// An open connection that closes itself unless handed on.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
    sqlite3* release() { return std::exchange(db, nullptr); }
};

std::string percentEncoded(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// A write-ahead log or rollback journal with content: the engine would read it too.
bool hasPendingSideFile(const std::filesystem::path& file) {
    for (const char* suffix : {"-wal", "-journal"}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file.string() + suffix, ec);
        if (ec ? ec != std::errc::no_such_file_or_directory : size > 0) return true;
    }
    return false;
}

bool isDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Prepares the statements that need the memo tables and their columns; on failure the
// engine's primary result code and text.
std::optional<std::pair<int, std::string>> missingMemoTables(sqlite3* db) {
    for (const char* sql :
         {"select id,title,flag,status,reminder from log", "select pwd,created from master"}) {
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK) return std::pair{sqlite3_extended_errcode(db), sqlite3_errmsg(db)};
    }
    return std::nullopt;
}

// PRAGMA quick_check: "ok" for a sound file, else its first finding on one line.
std::pair<int, std::string> quickCheck(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "pragma quick_check(1)", -1, &stmt, nullptr);
    std::string result;
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        result = text ? text : "";
        rc = SQLITE_OK;
        // The first finding comes after a line naming the database ("*** in database main ***").
        if (result.rfind("***", 0) == 0 && result.find('\n') != std::string::npos)
            result.erase(0, result.find('\n') + 1);
        for (char& c : result)
            if (c == '\n' || c == '\r') c = ' ';
    }
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
    if (rc != SQLITE_OK) result = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    return {rc, result};
}

// What the file looks like to a connection that cannot change it or make side files.
struct Look {
    std::optional<std::pair<OpenFailure, std::string>> refusal;
    bool checkedWhole = false;  // quick_check passed on the file alone
};

Look lookWithoutWriting(const std::filesystem::path& file, bool quickCheckWanted) {
    Connection look;
    const std::string uri =
        "file:" + percentEncoded(std::filesystem::absolute(file).string()) + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &look.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK)
        return {std::pair{OpenFailure::Unreadable, look.db ? sqlite3_errmsg(look.db) : ""}};
    if (const auto missing = missingMemoTables(look.db))
        return {std::pair{isDamage(missing->first) ? OpenFailure::Damaged : OpenFailure::NotMemo,
                          missing->second}};
    // Without a log or journal beside it the file alone is the whole database, and a
    // damaged one can be turned away before the engine makes its side files.
    if (!quickCheckWanted || hasPendingSideFile(file)) return {};
    const auto [rc, result] = quickCheck(look.db);
    if (rc != SQLITE_OK && !isDamage(rc)) return {std::pair{OpenFailure::Unreadable, result}};
    if (rc != SQLITE_OK || result != "ok") return {std::pair{OpenFailure::Damaged, result}};
    return {std::nullopt, true};
}

// Size and time of last change, to tell whether the file changed while it was read.
struct FileStamp {
    off_t size = -1;
    timespec changed{};
    bool operator==(const FileStamp& other) const {
        return size == other.size && changed.tv_sec == other.changed.tv_sec &&
               changed.tv_nsec == other.changed.tv_nsec;
    }
};

FileStamp stampOf(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return {};
    return {info.st_size, info.st_mtim};
}

}  // namespace

std::unique_ptr<MemoDatabase> MemoDatabase::open(const std::filesystem::path& file,
                                                 IntegrityCheck integrity) {
    auto fail = [&](OpenFailure failure, std::string detail = {}) -> std::unique_ptr<MemoDatabase> {
        throw DatabaseOpenError(file, failure, std::move(detail));
    };
    const std::string shown = file.string();

    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            return fail(OpenFailure::Unreadable, ec.message());
        return fail(OpenFailure::Missing);
    }
    if (!std::filesystem::is_regular_file(status)) return fail(OpenFailure::NotAFile);

    // Nothing below may change a file that is not a memo database: the header is read
    // by hand, and the tables through an immutable connection, which neither rolls back
    // a journal nor replays a write-ahead log nor makes side files.
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) return fail(OpenFailure::Unreadable, std::strerror(errno));
        char header[100] = {};
        in.read(header, sizeof header);
        if (in.gcount() == 0) return fail(OpenFailure::Empty);
        if (in.gcount() < static_cast<std::streamsize>(sizeof header) ||
            std::memcmp(header, "SQLite format 3", 16) != 0)
            return fail(OpenFailure::NotSqlite);
    }
    // A refusal while another program was copying its log into the file may come from
    // pages read half old, half new: then the file is looked at again.
    for (int attempt = 1;; ++attempt) {
        const FileStamp before = stampOf(file);
        const Look look = lookWithoutWriting(file, integrity == IntegrityCheck::Quick);
        if (look.refusal && attempt < 3 && !(stampOf(file) == before)) continue;
        if (look.refusal) return fail(look.refusal->first, look.refusal->second);
        if (look.checkedWhole) integrity = IntegrityCheck::None;
        break;
    }

    Connection connection;
    if (sqlite3_open_v2(shown.c_str(), &connection.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return fail(OpenFailure::Unreadable,
                    connection.db ? sqlite3_errmsg(connection.db) : "out of memory");
    sqlite3* db = connection.db;
    sqlite3_busy_timeout(db, kBusyTimeoutMs);  // until the connection's own waits take over
    if (sqlite3_db_readonly(db, "main") != 0) return fail(OpenFailure::ReadOnly);
    // Until the file has passed, closing must not copy the log into it.
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (const auto missing = missingMemoTables(db))
        return fail(isDamage(missing->first) ? OpenFailure::Damaged : OpenFailure::Unreadable,
                    missing->second);
    if (integrity == IntegrityCheck::Quick) {
        const auto [rc, result] = quickCheck(db);
        if (rc != SQLITE_OK && !isDamage(rc)) return fail(OpenFailure::Unreadable, result);
        if (rc != SQLITE_OK || result != "ok") return fail(OpenFailure::Damaged, result);
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // Each change reaches the disk before it is reported done, whatever the engine was
    // built to do by default.
    sqlite3_exec(db, "pragma synchronous=full", nullptr, nullptr, nullptr);
    return std::unique_ptr<MemoDatabase>(new MemoDatabase(connection.release(), file));
}

MemoDatabase::MemoDatabase(sqlite3* connection, std::filesystem::path file)
    : connection_(connection), file_(std::move(file)), query_(connection) {
    // One handler for the connection's whole life; it reads the usual wait and the
    // deadline of a living budget from here.
    sqlite3_busy_handler(connection_, &onBusy, this);
}

MemoDatabase::~MemoDatabase() {
    query_.forgetPreparedStatements();
    sqlite3_close_v2(connection_);
}

std::filesystem::path memoDatabasePath(const std::filesystem::path& programFolder) {
    return programFolder / "config" / "d.ini";
}

}  // namespace plumo
