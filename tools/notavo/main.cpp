#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "memo/memo_database.h"
#include "notavo_cli.h"
#include "notavo_window.h"
#include "settings/data_folder.h"

namespace {

// The window: no command at all, or "-s" (what the companion starts it with), each
// after an optional "--db FILE".
bool wantsWindow(const std::vector<std::string>& arguments, std::filesystem::path& database) {
    std::size_t first = 0;
    if (arguments.size() >= 2 && arguments[0] == "--db" && !arguments[1].empty()) {
        database = arguments[1];
        first = 2;
    } else if (!arguments.empty() && arguments[0] == "--db") {
        return false;  // the command line reports the missing file name
    }
    const std::size_t left = arguments.size() - first;
    return left == 0 || (left == 1 && arguments[first] == "-s");
}

// Commands that make their own database, or use another one, leave the user's alone.
bool usesDefaultDatabase(const std::vector<std::string>& arguments) {
    return std::none_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument == "--init" || argument == "--db";
    });
}

}  // namespace

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The companion's folder decision, so that both meet at the same database and
    // hand-off files.
    plumo::DataFolder data;
    std::string folderError;
    try {
        data = plumo::openDataFolder(self.parent_path(), usesDefaultDatabase(arguments));
    } catch (const plumo::DataFolderError& e) {
        folderError = e.what();
    }
    const std::filesystem::path folder = data.folder;
    std::filesystem::path database = plumo::memoDatabasePath(folder);

    if (wantsWindow(arguments, database)) {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Notavo"));
        QApplication::setApplicationDisplayName(plumo::notavo::kNotavoTitle);
        plumo::notavo::WidgetPrompts prompts;
        if (!folderError.empty()) {
            prompts.error(nullptr, QString::fromStdString(folderError));
            return plumo::notavo::kExitIoFailed;
        }
        const auto window = plumo::notavo::openNotavoWindow(folder, database, prompts);
        if (!window) return plumo::notavo::kExitFailed;
        window->show();
        return QApplication::exec();
    }
    if (!folderError.empty()) {
        std::cerr << "Notavo: " << folderError << '\n';
        return plumo::notavo::kExitIoFailed;
    }
    return plumo::notavo::runCommandLine(arguments, plumo::memoDatabasePath(folder), std::cout,
                                         std::cerr);
}
