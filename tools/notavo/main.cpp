#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "memo/memo_database.h"
#include "notavo_cli.h"

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return plumo::notavo::runCommandLine(arguments, plumo::memoDatabasePath(self.parent_path()),
                                         std::cout, std::cerr);
}
