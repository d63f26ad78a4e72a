// Notavo's command line, one argument per NUL- or line-separated piece, run on a scratch
// memo database that every input finds in the same state: an exit status with either a
// result or a one-line error, and a database that still opens afterwards.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "notavo_cli.h"

namespace {

namespace fs = std::filesystem;
using plumo::notavo::runCommandLine;

// A memo database with an open item, a done one, a plan and an item without reminder.
std::string makeTemplate(const fs::path& file) {
    plumo::createMemoDatabase(file);
    const std::vector<std::vector<std::string>> items = {
        {"add", "交电费", "--at", "2026-12-08 09:30:00"},
        {"add", "周报", "--plan"},
        {"add", "tab\there\\and\nline"},
        {"done", "1"},
    };
    for (const auto& arguments : items) {
        std::ostringstream out, err;
        FUZZ_CHECK(runCommandLine(arguments, file, out, err) == plumo::notavo::kExitOk,
                   "cannot seed the memo database: " + err.str());
    }
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file name of the scratch folder for whatever --db names, so no input writes elsewhere.
std::string insideScratch(const fs::path& folder, std::string name) {
    for (char& c : name)
        if (c == '/') c = '_';
    if (name == "." || name == "..") name = "_";
    return (folder / name).string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path folder = plumo::fuzz::scratchFolder() / "program";
    static const fs::path database = folder / "config" / "d.ini";
    static const std::string databaseBytes = makeTemplate(plumo::fuzz::scratchFolder() / "d.ini");

    plumo::fuzz::emptyFolder(folder);
    fs::create_directories(database.parent_path());
    plumo::fuzz::writeFile(database, databaseBytes);

    std::vector<std::string> arguments = plumo::fuzz::splitArguments(data, size);
    if (arguments.size() >= 2 && arguments[0] == "--db" && !arguments[1].empty())
        arguments[1] = insideScratch(folder, arguments[1]);

    std::ostringstream out, err;
    const int status = runCommandLine(arguments, database, out, err);
    const std::string error = err.str();
    if (status == plumo::notavo::kExitOk) {
        FUZZ_CHECK(error.empty(), "succeeded with the error '" + error + "'");
    } else {
        FUZZ_CHECK(status == plumo::notavo::kExitFailed || status == plumo::notavo::kExitBadUsage ||
                       status == plumo::notavo::kExitIoFailed,
                   "exit status " + std::to_string(status));
        FUZZ_CHECK(error.rfind("Notavo: ", 0) == 0 && error.find('\n') == error.size() - 1,
                   "the error is not one line: '" + error + "'");
    }
    try {
        plumo::MemoDatabase::open(database);
    } catch (const plumo::DatabaseError& e) {
        FUZZ_CHECK(false, std::string("the memo database no longer opens: ") + e.what());
    }
    return 0;
}
