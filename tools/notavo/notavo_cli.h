#pragma once

// The command line of Notavo, the memo program: creates the memo database and
// adds, lists, closes, deletes and postpones memo items.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace plumo::notavo {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;    // the database refused or the item does not exist
constexpr int kExitBadUsage = 2;  // bad arguments, or --init finding a database in place

// Runs one command line (without the program name). `defaultDatabase` is used unless
// --db names another file. Results go to `out`, one-line errors to `err`.
int runCommandLine(const std::vector<std::string>& arguments,
                   const std::filesystem::path& defaultDatabase, std::ostream& out,
                   std::ostream& err);

std::string usageText();

}  // namespace plumo::notavo
