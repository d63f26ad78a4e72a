#pragma once

#include <string>

namespace plumo {

// Reads a whole image file. Throws ImageError naming the path when it is missing, unreadable,
// not a regular file (a directory, a pipe) or larger than any image we accept.
std::string readImageFile(const std::string& path);

}  // namespace plumo
