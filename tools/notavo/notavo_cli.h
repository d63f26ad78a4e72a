#pragma once

// The command line of Notavo, the memo program: creates the memo database and
// adds, lists, closes, deletes, postpones and snoozes memo items and sets their repeat
// rules. Without a command, or with
// "-s", Notavo opens its window instead (see notavo_window.h).

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace plumo::notavo {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;    // the database refused or the item does not exist
constexpr int kExitBadUsage = 2;  // bad arguments, or --init finding a database in place
constexpr int kExitIoFailed = 3;  // a file could not be made or the output not written

// Runs one command line (without the program name). `defaultDatabase` is used unless
// --db names another file. Results go to `out`, one-line errors to `err`. `now` is the
// local time the commands go by (rolling repeating items on, snoozing); the clock's when
// absent.
int runCommandLine(const std::vector<std::string>& arguments,
                   const std::filesystem::path& defaultDatabase, std::ostream& out,
                   std::ostream& err, std::optional<DateTime> now = std::nullopt);

std::string usageText();

// A title on one line of the list: backslash, line feed, carriage return and tab
// written as \\, \n, \r and \t.
std::string escapeListText(const std::string& text);

}  // namespace plumo::notavo
