#pragma once

// What the fuzz targets share: arguments from bytes, a scratch folder, and checks that
// report a broken promise as a crash the fuzzer keeps.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plumo::fuzz {

// The input as command-line arguments, split at each NUL or line feed. A separator at the
// very end closes the last argument without starting an empty one; no bytes, no arguments.
std::vector<std::string> splitArguments(const std::uint8_t* data, std::size_t size);

// A private folder of this process under $TMPDIR (or /tmp), made on first use and removed
// with its contents when the process exits normally.
const std::filesystem::path& scratchFolder();

// Replaces the file's content; aborts when it cannot, as the target would test nothing.
void writeFile(const std::filesystem::path& file, std::string_view bytes);

// Empties a folder of the scratch folder, keeping the folder itself.
void emptyFolder(const std::filesystem::path& folder);

[[noreturn]] void fail(const char* file, int line, const std::string& what);

}  // namespace plumo::fuzz

// A property every input must keep; a failure aborts, so the fuzzer saves the input.
#define FUZZ_CHECK(condition, what) \
    ((condition) ? (void)0 : ::plumo::fuzz::fail(__FILE__, __LINE__, std::string(what)))
