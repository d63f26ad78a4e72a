#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace plumo::fuzz {
namespace {

namespace fs = std::filesystem;

struct ScratchFolder {
    fs::path path;

    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (base && *base ? base : "/tmp") + std::string("/plumo-fuzz-XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("cannot make a scratch folder");
            std::abort();
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

std::vector<std::string> splitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0' || data[i] == '\n') {
            arguments.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0 && data[size - 1] != '\0' && data[size - 1] != '\n')
        arguments.push_back(std::move(current));
    return arguments;
}

const fs::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

void writeFile(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fail(__FILE__, __LINE__, "cannot write " + file.string());
}

void emptyFolder(const fs::path& folder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) fs::remove_all(entry.path(), ec);
}

void fail(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "%s:%d: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace plumo::fuzz
