#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace plumo {

// A file that could not be read. what() says why, without the path: "cannot open: ...",
// "cannot read: ...", "not a regular file" or "file is too large ...".
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole content of the regular file `path`, refused when it is larger than
// `maxBytes`. A named pipe in place of the file cannot hang the open. Throws FileReadError.
std::string readRegularFile(const std::string& path, std::size_t maxBytes);

}  // namespace plumo
