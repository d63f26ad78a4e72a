#include "notavo_cli.h"

#include <sqlite3.h>

#include <charconv>
#include <cstdint>
#include <optional>

#include "base/date_time.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"

namespace plumo::notavo {
namespace {

// A bad command line: reported in one line with exit status 2.
struct UsageError {
    std::string message;
};

// A command that could not be carried out: exit status 1.
struct CommandFailed {
    std::string message;
};

// A file that could not be made, or output that could not be written: exit status 3.
struct IoFailed {
    std::string message;
};

class Prepared {
public:
    Prepared(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw CommandFailed{sqlite3_errmsg(db)};
    }
    ~Prepared() { sqlite3_finalize(stmt_); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    void bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void bind(int index, const std::string& value) {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, std::optional<DateTime> value) {
        if (value)
            sqlite3_bind_double(stmt_, index, *value);
        else
            sqlite3_bind_null(stmt_, index);
    }
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw CommandFailed{sqlite3_errmsg(db_)};
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

std::int64_t parseId(const std::string& command, const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError{command + " needs exactly one item id"};
    const std::string& text = args[0];
    std::int64_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || id <= 0 ||
        text[0] == '+')
        throw UsageError{"'" + text + "' is not an item id (a whole number above 0)"};
    return id;
}

std::string describeReminder(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return "no reminder";
    return formatIsoDateTime(sqlite3_column_double(stmt, column));
}

std::string columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? text : "";
}

int initDatabase(const std::filesystem::path& file, std::ostream& out) {
    std::error_code ec;
    if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::not_found)
        throw UsageError{file.string() + " already exists; it was left untouched"};
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    try {
        createMemoDatabase(file);
    } catch (const DatabaseError& e) {
        throw IoFailed{e.what()};
    }
    out << "Created the memo database " << file.string() << "\n";
    return kExitOk;
}

int addItem(MemoDatabase& db, const std::vector<std::string>& args, std::ostream& out) {
    std::optional<std::string> title;
    std::optional<DateTime> reminder;
    bool plan = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--plan") {
            plan = true;
        } else if (a == "--at") {
            if (i + 1 >= args.size()) throw UsageError{"--at needs a time \"YYYY-MM-DD HH:MM:SS\""};
            reminder = parseIsoDateTime(args[++i]);
            if (!reminder)
                throw UsageError{"'" + args[i] + "' is not a time of the form YYYY-MM-DD HH:MM:SS"};
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"unknown option '" + a + "' for add"};
        } else if (title) {
            throw UsageError{"add takes one title; quote a title with blanks"};
        } else {
            title = a;
        }
    }
    if (!title) throw UsageError{"add needs a title"};

    Prepared insert(db.connection(),
                    "insert into log(title,flag,status,reminder) values(?1,?2,0,?3)");
    insert.bind(1, *title);
    insert.bind(2, std::int64_t{plan ? 1 : 0});
    insert.bind(3, reminder);
    insert.step();
    out << "Added item " << sqlite3_last_insert_rowid(db.connection()) << ": " << *title
        << (plan ? " (plan" : " (item") << ", "
        << (reminder ? "reminder " + formatIsoDateTime(*reminder) : std::string("no reminder"))
        << ")\n";
    return kExitOk;
}

int listItems(MemoDatabase& db, const std::vector<std::string>& args, std::ostream& out) {
    bool openOnly = false;
    for (const std::string& a : args) {
        if (a == "--open")
            openOnly = true;
        else
            throw UsageError{"unknown argument '" + a + "' for list"};
    }
    Prepared select(db.connection(),
                    openOnly ? "select id,status,flag,reminder,title from log where status=0 "
                               "order by id"
                             : "select id,status,flag,reminder,title from log order by id");
    int count = 0;
    while (select.step()) {
        sqlite3_stmt* s = select.get();
        const bool done = sqlite3_column_int64(s, 1) != 0;
        const bool plan = sqlite3_column_int64(s, 2) == 1;
        std::string reminder = describeReminder(s, 3);
        reminder.resize(19, ' ');
        out << sqlite3_column_int64(s, 0) << "\t" << (done ? "done" : "open") << "\t"
            << (plan ? "plan" : "item") << "\t" << reminder << "\t"
            << (sqlite3_column_type(s, 4) == SQLITE_NULL ? "(no title)"
                                                         : escapeListText(columnText(s, 4)))
            << "\n";
        ++count;
    }
    if (count == 0) out << (openOnly ? "No open items.\n" : "No items.\n");
    return kExitOk;
}

void requireChange(MemoDatabase& db, std::int64_t id) {
    if (sqlite3_changes(db.connection()) == 0)
        throw CommandFailed{"there is no item " + std::to_string(id)};
}

int markDone(MemoDatabase& db, std::int64_t id, std::ostream& out) {
    Prepared update(db.connection(), "update log set status=1 where id=?1");
    update.bind(1, id);
    update.step();
    requireChange(db, id);
    out << "Item " << id << " is done.\n";
    return kExitOk;
}

int deleteItem(MemoDatabase& db, std::int64_t id, std::ostream& out) {
    Prepared remove(db.connection(), "delete from log where id=?1");
    remove.bind(1, id);
    remove.step();
    requireChange(db, id);
    out << "Item " << id << " deleted.\n";
    return kExitOk;
}

int postponeItem(MemoDatabase& db, std::int64_t id, std::ostream& out) {
    Prepared update(db.connection(),
                    "update log set reminder=reminder+1 where id=?1 and reminder is not null "
                    "returning reminder");
    update.bind(1, id);
    if (!update.step()) {
        Prepared exists(db.connection(), "select 1 from log where id=?1");
        exists.bind(1, id);
        if (!exists.step()) throw CommandFailed{"there is no item " + std::to_string(id)};
        throw CommandFailed{"item " + std::to_string(id) + " has no reminder to postpone"};
    }
    const std::string moved = describeReminder(update.get(), 0);
    while (update.step()) {
    }
    out << "Item " << id << " postponed to " << moved << ".\n";
    return kExitOk;
}

int runCommand(const std::vector<std::string>& arguments, const std::filesystem::path& database,
               std::ostream& out) {
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--init") {
        if (!rest.empty()) throw UsageError{"--init takes no arguments"};
        return initDatabase(database, out);
    }
    static const char* const kCommands[] = {"add", "list", "done", "delete", "postpone"};
    bool known = false;
    for (const char* c : kCommands) known = known || command == c;
    if (!known) throw UsageError{"unknown command '" + command + "'"};

    // Check the arguments before the file is touched.
    std::optional<std::int64_t> id;
    if (command == "done" || command == "delete" || command == "postpone")
        id = parseId(command, rest);

    const auto db = MemoDatabase::open(database, IntegrityCheck::Quick);
    if (command == "add") return addItem(*db, rest, out);
    if (command == "list") return listItems(*db, rest, out);
    if (command == "done") return markDone(*db, *id, out);
    if (command == "delete") return deleteItem(*db, *id, out);
    return postponeItem(*db, *id, out);
}

}  // namespace

std::string escapeListText(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string usageText() {
    return "Usage: Notavo [--db FILE] [COMMAND]\n"
           "The memo program: keeps the memo items in config/d.ini beside it, or in\n"
           "~/.local/share/plumo/config/d.ini ($XDG_DATA_HOME/plumo) when installed.\n"
           "Without a command, or with -s, it opens its window.\n"
           "\n"
           "Commands:\n"
           "  -s                     open the window (what the companion starts it with)\n"
           "  --init                 create config/d.ini (never replaces an existing one)\n"
           "  add TITLE [--at \"YYYY-MM-DD HH:MM:SS\"] [--plan]\n"
           "                         add an open item, with a reminder time, or as a plan\n"
           "  list [--open]          list the items, or only the open ones: one line each,\n"
           "                         id, open/done, plan/item, reminder and title separated\n"
           "                         by tabs; in titles a backslash is written \\\\, a line\n"
           "                         break \\n, a carriage return \\r and a tab \\t\n"
           "  done ID                mark an item done\n"
           "  delete ID              delete an item\n"
           "  postpone ID            move an item's reminder one day later\n"
           "  --help                 show this help\n"
           "\n"
           "Options:\n"
           "  --db FILE              use FILE instead of config/d.ini\n"
           "\n"
           "Every command first checks the database (PRAGMA quick_check) and leaves a\n"
           "file that is not a sound memo database exactly as it is.\n"
           "\n"
           "Exit status: 0 done, 1 the command failed (no database, a damaged or foreign\n"
           "file, no such item), 2 bad arguments or --init finding a database already in\n"
           "place, 3 a file could not be made or the output could not be written.\n";
}

int runCommandLine(const std::vector<std::string>& arguments,
                   const std::filesystem::path& defaultDatabase, std::ostream& out,
                   std::ostream& err) {
    std::vector<std::string> args = arguments;
    std::filesystem::path database = defaultDatabase;
    try {
        if (!args.empty() && args.front() == "--db") {
            if (args.size() < 2 || args[1].empty()) throw UsageError{"--db needs a file name"};
            database = args[1];
            args.erase(args.begin(), args.begin() + 2);
        }
        if (args.empty()) throw UsageError{"no command given"};
        if (args.front() == "--help" || args.front() == "-h") {
            out << usageText();
            return kExitOk;
        }
        const int status = runCommand(args, database, out);
        out.flush();
        if (!out) throw IoFailed{"the output could not be written"};
        return status;
    } catch (const UsageError& e) {
        err << "Notavo: " << e.message << " (see Notavo --help)\n";
        return kExitBadUsage;
    } catch (const CommandFailed& e) {
        err << "Notavo: " << e.message << "\n";
        return kExitFailed;
    } catch (const IoFailed& e) {
        err << "Notavo: " << e.message << "\n";
        return kExitIoFailed;
    } catch (const DatabaseOpenError& e) {
        err << "Notavo: " << e.what() << "\n";
        return kExitFailed;
    } catch (const DatabaseError& e) {
        err << "Notavo: " << e.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace plumo::notavo
