#pragma once

// The memo database: one connection kept for the whole run and the one query
// object through which every statement runs.
//
//   query.clear();
//   query.setText(dueItemStatement(now));   // one line; CR LF is added
//   query.open();                            // a select; execute() for the rest
//   if (!query.eof()) title = query.field("title").asString();

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;

namespace plumo {
class SqliteStatement;
}

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
    explicit MemoQuery(sqlite3* connection);
    ~MemoQuery();
    MemoQuery(const MemoQuery&) = delete;
    MemoQuery& operator=(const MemoQuery&) = delete;

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

    // Finalizes the statements kept prepared; the connection can then close at once.
    void forgetPreparedStatements();

private:
    // The translated statement, prepared once and kept for its next run (the tick runs the
    // same statement every second, only its date differs), its date parameters bound.
    SqliteStatement& prepared(const std::string& sql);
    SqliteStatement& preparedWithParameters();

    sqlite3* connection_;
    std::string text_;
    std::vector<MemoField> fields_;
    // Most recently used first; a few texts at most.
    std::vector<std::pair<std::string, std::unique_ptr<SqliteStatement>>> preparedStatements_;
};

enum class IntegrityCheck { None, Quick };

class MemoDatabase;
class WaitClock;

// While it lives, statements on its connection wait for another program's lock no longer
// than the budget it was made with, counted from its making, and then throw
// DatabaseBusyError. When it ends the connection waits as it did before it was made.
// It must not outlive its database; budgets made within it end before it.
//
//   auto budget = database.waitAtMost(std::chrono::milliseconds(100));
//   try { ... } catch (const DatabaseBusyError&) { ... }
class [[nodiscard]] WaitBudget {
public:
    WaitBudget(WaitBudget&& other) noexcept;
    ~WaitBudget();
    WaitBudget(const WaitBudget&) = delete;
    WaitBudget& operator=(const WaitBudget&) = delete;
    WaitBudget& operator=(WaitBudget&&) = delete;

private:
    friend class MemoDatabase;
    using TimePoint = std::chrono::steady_clock::time_point;
    WaitBudget(MemoDatabase& database, std::optional<TimePoint> previous)
        : database_(&database), previous_(previous) {}

    MemoDatabase* database_;
    std::optional<TimePoint> previous_;  // the deadline to go back to
};

class MemoDatabase {
public:
    // How long a statement waits for the memo program to finish writing.
    static constexpr int kBusyTimeoutMs = 3000;
    // The pause between two tries while another program holds the lock.
    static constexpr std::chrono::milliseconds kWaitStep{5};

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
    const std::filesystem::path& file() const { return file_; }

    // Statements wait at most `budget` in all while the returned object lives (within a
    // living budget, no longer than that one allows either).
    [[nodiscard]] WaitBudget waitAtMost(std::chrono::milliseconds budget);
    // How long each statement waits outside a budget; kBusyTimeoutMs unless changed.
    void setUsualWait(std::chrono::milliseconds wait);
    // The clock the waits read and sleep on; nullptr for the real one.
    void setWaitClock(WaitClock* clock);

private:
    friend class WaitBudget;
    using TimePoint = std::chrono::steady_clock::time_point;

    MemoDatabase(sqlite3* connection, std::filesystem::path file);
    WaitClock& waitClock();
    static int onBusy(void* database, int triesBefore);
    bool waitOnce(int triesBefore);

    sqlite3* connection_;
    std::filesystem::path file_;
    MemoQuery query_;
    WaitClock* waitClock_ = nullptr;
    std::chrono::milliseconds usualWait_{kBusyTimeoutMs};
    std::optional<TimePoint> deadline_;  // of the innermost living budget
    TimePoint waitStarted_{};
};

// The memo database of a program folder: <folder>/config/d.ini.
std::filesystem::path memoDatabasePath(const std::filesystem::path& programFolder);

}  // namespace plumo
