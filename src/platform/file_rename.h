#pragma once

#include <string>

namespace plumo {

// Renames `from` to `to` but never replaces an existing `to`: fails instead, leaving
// both files as they were. Returns false on any failure.
bool renameNoReplace(const std::string& from, const std::string& to);

}  // namespace plumo
