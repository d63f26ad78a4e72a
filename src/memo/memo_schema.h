#pragma once

// The memo database as the memo program creates it: the contract between the
// memo program and the companion.

#include <filesystem>

namespace plumo {

// Creates a new memo database at `file` with the tables log and master and the
// index that serves the per-second due-item query, readable by its owner only (0600).
// Never replaces anything: throws
// DatabaseError (naming the file) when something already stands at that path.
void createMemoDatabase(const std::filesystem::path& file);

}  // namespace plumo
