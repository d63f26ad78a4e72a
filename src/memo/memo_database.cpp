#include "memo/memo_database.h"

#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "memo/jet_dialect.h"
#include "memo/memo_errors.h"

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

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, &tail) !=
            SQLITE_OK)
            throw DatabaseError(sqlite3_errmsg(db));
        if (!stmt_) throw DatabaseError("Invalid SQL statement: the statement is empty.");
        for (; tail && *tail; ++tail)
            if (!std::isspace(static_cast<unsigned char>(*tail)))
                throw DatabaseError("Characters found after end of SQL statement.");
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw DatabaseError(sqlite3_errmsg(db_));
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

MemoField::Value columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_NULL:
            return std::monostate{};
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(stmt, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, column);
        default: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            return std::string(bytes ? bytes : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
        }
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

void MemoQuery::open() {
    fields_.clear();
    Statement statement(connection_, translateJetStatement(text_));
    const int columns = sqlite3_column_count(statement.get());
    if (columns == 0) throw DatabaseError("The statement does not return a result set.");
    // The first row is copied out and the statement finished at once, so that no read
    // stays open on the file while the memo program wants to write.
    if (!statement.step()) return;
    std::vector<MemoField> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(statement.get(), c);
        row.emplace_back(name ? name : "", columnValue(statement.get(), c));
    }
    fields_ = std::move(row);
}

void MemoQuery::execute() {
    fields_.clear();
    Statement statement(connection_, translateJetStatement(text_));
    while (statement.step()) {
    }
}

const MemoField& MemoQuery::field(std::string_view name) const {
    for (const MemoField& f : fields_)
        if (equalsIgnoringCase(f.name(), name)) return f;
    if (fields_.empty()) throw DatabaseError("No current record.");
    throw DatabaseError("Field '" + std::string(name) + "' not found.");
}

std::unique_ptr<MemoDatabase> MemoDatabase::open(const std::filesystem::path& file) {
    const std::string shown = file.string();
    auto fail = [&](const std::string& reason) -> std::unique_ptr<MemoDatabase> {
        throw DatabaseOpenError("Cannot open the memo database " + shown + ": " + reason);
    };

    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status)) return fail("the file does not exist");
    if (!std::filesystem::is_regular_file(status)) return fail("it is not a file");

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(shown.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return fail(reason);
    }
    std::unique_ptr<MemoDatabase> database(new MemoDatabase(db));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (sqlite3_db_readonly(db, "main") != 0) return fail("it cannot be written");
    try {
        // Preparing reads the schema: a file that is no database, or one without the
        // memo tables and their columns, fails here rather than at the first count.
        Statement items(db, "select id,title,flag,status,reminder from log");
        Statement password(db, "select pwd,created from master");
    } catch (const DatabaseError& e) {
        return fail(e.what());
    }
    return database;
}

MemoDatabase::~MemoDatabase() { sqlite3_close_v2(connection_); }

std::filesystem::path memoDatabasePath(const std::filesystem::path& programFolder) {
    return programFolder / "config" / "d.ini";
}

}  // namespace plumo
