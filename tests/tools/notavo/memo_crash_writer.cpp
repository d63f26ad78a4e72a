// Writes memo items forever through the real write paths of Notavo and the companion,
// printing one line after each write has been committed:
//   memo_crash_writer DATABASE FIRST_ITEM   ->   "<item> <writes done>" per line
// The crash test kills it at random moments and checks what it printed against the file.

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "crash_writes.h"
#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_store.h"
#include "notavo_cli.h"

namespace {

using namespace plumo;

[[noreturn]] void die(const std::string& what) {
    std::cerr << "memo_crash_writer: " << what << '\n';
    std::exit(1);
}

void commandLine(const std::vector<std::string>& arguments, const std::string& database,
                 std::string* out = nullptr) {
    std::ostringstream output, errors;
    if (notavo::runCommandLine(arguments, database, output, errors) != notavo::kExitOk)
        die(errors.str());
    if (out) *out = output.str();
}

void reportDone(int item, int writes) {
    const std::string line = std::to_string(item) + " " + std::to_string(writes) + "\n";
    if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) die("usage: memo_crash_writer DATABASE FIRST_ITEM");
    const std::string database = argv[1];
    try {
        for (int item = std::atoi(argv[2]);; ++item) {
            std::string added;
            std::vector<std::string> add = {"add", test::crash::titleOf(item, false), "--at",
                                            formatIsoDateTime(test::crash::firstReminder(item))};
            if (item % 2) add.push_back("--plan");
            commandLine(add, database, &added);
            reportDone(item, 1);
            const std::string id = added.substr(11, added.find(':') - 11);  // "Added item N: "

            // The companion opens without the whole-file check, as at its start.
            postponeItem(MemoDatabase::open(database)->query(), std::stoll(id));
            reportDone(item, 2);

            commandLine({"postpone", id}, database);
            reportDone(item, 3);

            {
                const auto opened = MemoDatabase::open(database, IntegrityCheck::Quick);
                if (!MemoStore(*opened).edit(std::stoll(id), test::crash::titleOf(item, true),
                                             test::crash::firstReminder(item) + 3))
                    die("item " + id + " vanished before its edit");
            }
            reportDone(item, 4);

            closeItem(MemoDatabase::open(database)->query(), std::stoll(id));
            reportDone(item, 5);

            if (test::crash::writesOf(item) == 6) {
                commandLine({"delete", id}, database);
                reportDone(item, 6);
            }
        }
    } catch (const std::exception& e) {
        die(e.what());
    }
}
