#pragma once

// Runs the built Notavo program and the helpers tests share to seed memo databases.

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace plumo::test {

struct ProcessResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs `program` (Notavo's built executable unless given) with the arguments and waits.
ProcessResult runNotavo(const std::vector<std::string>& arguments,
                        const std::filesystem::path& program = {});

// A fresh memo database made by `Notavo --init`; fails the test when it cannot.
void initMemoDatabase(const std::filesystem::path& file);

// A memo database as Notavo made it before item ids were never used twice: `log` with
// `id INTEGER PRIMARY KEY` (and `extraColumn` after the five, when given), its index,
// and `master`, in write-ahead-log mode, holding items 3, 4, 7, 9 and 12 (among them
// Null and text reminders, a Null and a blob title) and the password "abc".
void makeOldMemoDatabase(const std::filesystem::path& file, const std::string& extraColumn = {});

// A plain second connection for seeding and checking rows behind the layer's back.
class RawConnection {
public:
    explicit RawConnection(const std::filesystem::path& file);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void exec(const std::string& sql);
    // Inserts an item and returns its id; a negative reminder stands for Null.
    std::int64_t addItem(const char* title, int flag, int status, DateTime reminder);
    std::int64_t scalarInt(const std::string& sql);
    double scalarDouble(const std::string& sql);
    // The column's value as stored, "<null>" for Null.
    std::string scalarText(const std::string& sql);
    // Every row of a select, each column as its storage type and exact value.
    std::vector<std::string> rows(const std::string& sql);
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

inline constexpr DateTime kNoReminder = -1;

}  // namespace plumo::test
