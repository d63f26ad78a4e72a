#include <QApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "memo/memo_database.h"
#include "notavo_cli.h"
#include "notavo_window.h"

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

}  // namespace

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    const std::filesystem::path folder = self.parent_path();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::filesystem::path database = plumo::memoDatabasePath(folder);

    if (wantsWindow(arguments, database)) {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Notavo"));
        QApplication::setApplicationDisplayName(plumo::notavo::kNotavoTitle);
        plumo::notavo::WidgetPrompts prompts;
        const auto window = plumo::notavo::openNotavoWindow(folder, database, prompts);
        if (!window) return plumo::notavo::kExitFailed;
        window->show();
        return QApplication::exec();
    }
    return plumo::notavo::runCommandLine(arguments, plumo::memoDatabasePath(folder), std::cout,
                                         std::cerr);
}
