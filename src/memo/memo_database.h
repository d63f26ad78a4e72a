#pragma once

// The memo database: one connection kept for the whole run and the one query
// object through which every statement runs.
//
//   query.clear();
//   query.setText(dueItemStatement(now));   // one line; CR LF is added
//   query.open();                            // a select; execute() for the rest
//   if (!query.eof()) title = query.field("title").asString();

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;

namespace plumo {

// One value of the current row, read by the caller as the type it expects.
class MemoField {
public:
    using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

    MemoField(std::string name, Value value) : name_(std::move(name)), value_(std::move(value)) {}

    const std::string& name() const { return name_; }
    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    // Each throws ConversionError for a Null value or text that is no number.
    std::string asString() const;
    std::int64_t asInteger() const;
    double asFloat() const;

private:
    std::string name_;
    Value value_;
};

class MemoQuery {
public:
    explicit MemoQuery(sqlite3* connection) : connection_(connection) {}

    // Forgets the statement text and any result of the previous statement.
    void clear();
    // Sets the statement: one line in the Jet dialect, handed on with CR LF after it.
    void setText(std::string_view line);
    const std::string& text() const { return text_; }

    // Runs a select and keeps its first row; throws DatabaseError.
    void open();
    // Runs any other statement; throws DatabaseError.
    void execute();

    // True when the last select returned no row (or nothing has been opened).
    bool eof() const { return fields_.empty(); }
    // A field of the first row by column name, in any letter case; throws DatabaseError
    // when there is no row or no such column.
    const MemoField& field(std::string_view name) const;

private:
    sqlite3* connection_;
    std::string text_;
    std::vector<MemoField> fields_;
};

enum class IntegrityCheck { None, Quick };

class MemoDatabase {
public:
    // How long a statement waits for the memo program to finish writing.
    static constexpr int kBusyTimeoutMs = 3000;

    // Opens an existing memo database read-write, never creating it. The file must be a
    // SQLite database holding the memo tables, and with Quick pass PRAGMA quick_check
    // (which reads the whole file). Anything else is refused before a byte of it can
    // change: throws DatabaseOpenError naming the file and the reason.
    static std::unique_ptr<MemoDatabase> open(const std::filesystem::path& file,
                                              IntegrityCheck integrity = IntegrityCheck::None);
    ~MemoDatabase();
    MemoDatabase(const MemoDatabase&) = delete;
    MemoDatabase& operator=(const MemoDatabase&) = delete;

    MemoQuery& query() { return query_; }
    sqlite3* connection() const { return connection_; }

private:
    explicit MemoDatabase(sqlite3* connection) : connection_(connection), query_(connection) {}

    sqlite3* connection_;
    MemoQuery query_;
};

// The memo database of a program folder: <folder>/config/d.ini.
std::filesystem::path memoDatabasePath(const std::filesystem::path& programFolder);

}  // namespace plumo
