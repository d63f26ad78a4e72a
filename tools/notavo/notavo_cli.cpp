#include "notavo_cli.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

#include "base/date_time.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "memo/memo_store.h"
#include "memo/repeat_store.h"

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

constexpr const char* kRuleWords = "daily, workdays, weekly, monthly, yearly or lunar-yearly";

std::int64_t parseIdText(const std::string& text) {
    std::int64_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || id <= 0 ||
        text[0] == '+')
        throw UsageError{"'" + text + "' is not an item id (a whole number above 0)"};
    return id;
}

std::int64_t parseId(const std::string& command, const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError{command + " needs exactly one item id"};
    return parseIdText(args[0]);
}

RepeatRule parseRule(const std::string& text) {
    const std::optional<RepeatRule> rule = repeatRuleFromKeyword(text);
    if (!rule) throw UsageError{"'" + text + "' is not a repeat rule (" + kRuleWords + ")"};
    return *rule;
}

// "repeat ID RULE" and "repeat ID none"; nullopt for none.
struct RepeatArguments {
    std::int64_t id = 0;
    std::optional<RepeatRule> rule;
};

RepeatArguments parseRepeat(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError{"repeat needs an item id and a rule, or none"};
    RepeatArguments parsed{parseIdText(args[0]), std::nullopt};
    if (args[1] != "none") parsed.rule = parseRule(args[1]);
    return parsed;
}

// "snooze ID 10m" and "snooze ID 1h": how many seconds.
struct SnoozeArguments {
    std::int64_t id = 0;
    std::int64_t seconds = 0;
};

SnoozeArguments parseSnooze(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError{"snooze needs an item id and 10m or 1h"};
    const std::int64_t id = parseIdText(args[0]);
    if (args[1] == "10m") return {id, 10 * 60};
    if (args[1] == "1h") return {id, 60 * 60};
    throw UsageError{"'" + args[1] + "' is not a snooze time (10m or 1h)"};
}

DateTime clockNow() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixTime(std::chrono::duration_cast<std::chrono::seconds>(since).count());
}

std::string describeReminder(const std::optional<DateTime>& reminder) {
    return reminder ? formatIsoDateTime(*reminder) : "no reminder";
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

struct AddArguments {
    ItemInput input;
    std::optional<RepeatRule> rule;
};

AddArguments parseAdd(const std::vector<std::string>& args) {
    std::optional<std::string> title;
    std::optional<DateTime> reminder;
    std::optional<RepeatRule> rule;
    bool plan = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--plan") {
            plan = true;
        } else if (a == "--repeat") {
            if (i + 1 >= args.size()) throw UsageError{std::string("--repeat needs ") + kRuleWords};
            rule = parseRule(args[++i]);
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
    if (rule && !reminder)
        throw UsageError{"--repeat " + std::string(repeatRuleKeyword(*rule)) +
                         " needs the first reminder (--at)"};
    return {{*title, reminder, plan}, rule};
}

// True for "--open".
bool parseList(const std::vector<std::string>& args) {
    bool openOnly = false;
    for (const std::string& a : args) {
        if (a == "--open")
            openOnly = true;
        else
            throw UsageError{"unknown argument '" + a + "' for list"};
    }
    return openOnly;
}

std::string repeatsText(const std::optional<RepeatRule>& rule) {
    return rule ? ", repeats " + std::string(repeatRuleKeyword(*rule)) : std::string();
}

int addItem(MemoDatabase& db, const AddArguments& added, std::ostream& out) {
    const ItemInput& input = added.input;
    const std::int64_t id = MemoStore(db).add(input);
    if (added.rule) setRepeatRule(db, id, *added.rule);
    out << "Added item " << id << ": " << input.title << (input.plan ? " (plan" : " (item") << ", "
        << (input.reminder ? "reminder " + formatIsoDateTime(*input.reminder)
                           : std::string("no reminder"))
        << repeatsText(added.rule) << ")\n";
    return kExitOk;
}

int listItems(MemoDatabase& db, bool openOnly, std::ostream& out) {
    std::vector<MemoItem> items = MemoStore(db).list();
    const std::map<std::int64_t, RepeatSeries> series = repeatSeries(db);
    std::sort(items.begin(), items.end(),
              [](const MemoItem& a, const MemoItem& b) { return a.id < b.id; });
    int count = 0;
    for (const MemoItem& item : items) {
        if (openOnly && item.done) continue;
        std::string reminder = describeReminder(item.reminder);
        reminder.resize(19, ' ');
        out << item.id << "\t" << (item.done ? "done" : "open") << "\t"
            << (item.plan ? "plan" : "item") << "\t" << reminder << "\t"
            << (item.titleIsNull ? "(no title)" : escapeListText(item.title));
        if (const auto found = series.find(item.id); found != series.end())
            out << "\t" << repeatRuleKeyword(found->second.rule);
        out << "\n";
        ++count;
    }
    if (count == 0) out << (openOnly ? "No open items.\n" : "No items.\n");
    return kExitOk;
}

std::string noItem(std::int64_t id) { return "there is no item " + std::to_string(id); }

int markDone(MemoDatabase& db, std::int64_t id, DateTime now, std::ostream& out) {
    if (!MemoStore(db).close(id)) throw CommandFailed{noItem(id)};
    const RollOutcome rolled = rollForward(db, id, now);
    out << "Item " << id << " is done.";
    if (rolled.repeating && rolled.next)
        out << " It repeats: next reminder " << formatIsoDateTime(*rolled.next) << ".";
    else if (rolled.repeating)
        out << " Its series has ended: no later date of the rule.";
    out << "\n";
    return kExitOk;
}

int setRepeat(MemoDatabase& db, const RepeatArguments& repeat, std::ostream& out) {
    const std::optional<MemoItem> item = MemoStore(db).find(repeat.id);
    if (!item) throw CommandFailed{noItem(repeat.id)};
    const std::string name = "Item " + std::to_string(repeat.id);
    if (!repeat.rule) {
        out << name << (clearRepeatRule(db, repeat.id) ? " no longer repeats" : " did not repeat")
            << ".\n";
        return kExitOk;
    }
    if (!setRepeatRule(db, repeat.id, *repeat.rule))
        throw CommandFailed{"item " + std::to_string(repeat.id) +
                            " has no reminder to repeat from; give it one first"};
    out << name << " repeats " << repeatRuleKeyword(*repeat.rule) << " from "
        << describeReminder(item->reminder) << ".\n";
    return kExitOk;
}

int snooze(MemoDatabase& db, const SnoozeArguments& snoozed, DateTime now, std::ostream& out) {
    const DateTime until = startOfSecond(secondOf(now) + snoozed.seconds);
    if (!snoozeItem(db, snoozed.id, until)) throw CommandFailed{noItem(snoozed.id)};
    out << "Item " << snoozed.id << " snoozed to " << formatIsoDateTime(until) << ".\n";
    return kExitOk;
}

int deleteItem(MemoDatabase& db, std::int64_t id, std::ostream& out) {
    if (!MemoStore(db).remove(id)) throw CommandFailed{noItem(id)};
    out << "Item " << id << " deleted.\n";
    return kExitOk;
}

int postponeItem(MemoDatabase& db, std::int64_t id, std::ostream& out) {
    const PostponeResult result = MemoStore(db).postpone(id);
    switch (result.outcome) {
        case PostponeOutcome::NoSuchItem:
            throw CommandFailed{noItem(id)};
        case PostponeOutcome::NoReminder:
            throw CommandFailed{"item " + std::to_string(id) + " has no reminder to postpone"};
        case PostponeOutcome::Postponed:
            break;
    }
    out << "Item " << id << " postponed to " << describeReminder(result.reminder) << ".\n";
    return kExitOk;
}

int runCommand(const std::vector<std::string>& arguments, const std::filesystem::path& database,
               DateTime now, std::ostream& out) {
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--init") {
        if (!rest.empty()) throw UsageError{"--init takes no arguments"};
        return initDatabase(database, out);
    }
    static const char* const kCommands[] = {"add",      "list",   "done",  "delete",
                                            "postpone", "repeat", "snooze"};
    bool known = false;
    for (const char* c : kCommands) known = known || command == c;
    if (!known) throw UsageError{"unknown command '" + command + "'"};

    // Check the arguments before the file is touched.
    std::optional<std::int64_t> id;
    if (command == "done" || command == "delete" || command == "postpone")
        id = parseId(command, rest);
    std::optional<AddArguments> added;
    if (command == "add") added = parseAdd(rest);
    std::optional<RepeatArguments> repeat;
    if (command == "repeat") repeat = parseRepeat(rest);
    std::optional<SnoozeArguments> snoozed;
    if (command == "snooze") snoozed = parseSnooze(rest);

    const auto db = MemoDatabase::open(database, IntegrityCheck::Quick);
    // A file made before ids were never used twice is brought over first, and items closed
    // while they repeat open again.
    prepareForMemoProgram(*db, now);
    if (added) return addItem(*db, *added, out);
    if (command == "list") return listItems(*db, parseList(rest), out);
    if (command == "done") return markDone(*db, *id, now, out);
    if (command == "delete") return deleteItem(*db, *id, out);
    if (repeat) return setRepeat(*db, *repeat, out);
    if (snoozed) return snooze(*db, *snoozed, now, out);
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
           "  add TITLE [--at \"YYYY-MM-DD HH:MM:SS\"] [--plan] [--repeat RULE]\n"
           "                         add an open item, with a reminder time, or as a plan;\n"
           "                         with --repeat (and --at) the reminder repeats by RULE\n"
           "  list [--open]          list the items, or only the open ones: one line each,\n"
           "                         id, open/done, plan/item, reminder and title separated\n"
           "                         by tabs, and the rule after one more tab when the item\n"
           "                         repeats; in titles a backslash is written \\\\, a line\n"
           "                         break \\n, a carriage return \\r and a tab \\t\n"
           "  done ID                mark an item done; a repeating one opens again at its\n"
           "                         next date after now, which is shown\n"
           "  delete ID              delete an item (a repeating one with its whole series)\n"
           "  postpone ID            move an item's reminder one day later (this time only)\n"
           "  snooze ID 10m|1h       remind again 10 minutes or 1 hour from now (this time\n"
           "                         only)\n"
           "  repeat ID RULE         repeat an item's reminder by RULE, counted from the\n"
           "                         reminder it has now\n"
           "  repeat ID none         stop repeating; the reminder stays\n"
           "  --help                 show this help\n"
           "\n"
           "Repeat rules (RULE):\n"
           "  daily                  every day (每天)\n"
           "  workdays               Monday to Friday (每个工作日)\n"
           "  weekly                 the same weekday (每周)\n"
           "  monthly                the same day of the month; a shorter month uses its\n"
           "                         last day (每月)\n"
           "  yearly                 the same date; 29 February falls on 28 February in\n"
           "                         other years (每年)\n"
           "  lunar-yearly           the same lunar month and day, day 29 in a year whose\n"
           "                         month has no day 30; lunar dates end with 2050, and\n"
           "                         so does the series (每年（农历）)\n"
           "A closed repeating item opens again at the rule's next date after now; missed\n"
           "dates are skipped, not piled up.\n"
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
                   std::ostream& err, std::optional<DateTime> now) {
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
        const int status = runCommand(args, database, now ? *now : clockNow(), out);
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
