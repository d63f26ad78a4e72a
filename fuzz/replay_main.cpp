// Without libFuzzer (a GCC build): runs each file given, or each file of each folder given,
// through the fuzz target once, in name order. Options (arguments starting with '-', such as
// libFuzzer's -runs=0) are ignored, so both builds take the same command line.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "Running: %s (%zu bytes)\n", file.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    bool readable = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.empty() || argument[0] == '-') continue;
        std::error_code ec;
        if (fs::is_directory(argument, ec)) {
            std::vector<fs::path> inFolder;
            for (const auto& entry : fs::directory_iterator(argument, ec))
                if (entry.is_regular_file()) inFolder.push_back(entry.path());
            if (ec) {
                std::fprintf(stderr, "cannot list %s: %s\n", argument.c_str(),
                             ec.message().c_str());
                readable = false;
            }
            std::sort(inFolder.begin(), inFolder.end());
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else {
            files.emplace_back(argument);
        }
    }
    for (const fs::path& file : files) readable = replay(file) && readable;
    std::fprintf(stderr, "Replayed %zu inputs\n", files.size());
    return readable ? 0 : 1;
}
