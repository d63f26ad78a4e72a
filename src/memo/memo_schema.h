#pragma once

// The memo database as the memo program creates it: the contract between the
// memo program and the companion.

#include <filesystem>

namespace plumo {

class MemoDatabase;

// Creates a new memo database at `file` with the tables log and master and the
// index that serves the per-second due-item query, readable by its owner only (0600).
// Item ids are never used twice, not even those of deleted items.
// Never replaces anything: throws
// DatabaseError (naming the file) when something already stands at that path.
void createMemoDatabase(const std::filesystem::path& file);

// True when the log table of `database` never gives an id twice (it was made with
// AUTOINCREMENT). Throws DatabaseError when it cannot be read.
bool idsNeverReused(MemoDatabase& database);

// Brings a memo database made before ids were never used twice over to that guarantee,
// in one transaction: every item keeps its id, values and their types, the password and
// the indexes stay, and the next id follows the largest one in the file. Does nothing to
// a file that has it already. Throws IdConversionError, naming the file and the reason,
// when it cannot; the file is then left as it was.
void ensureIdsNeverReused(MemoDatabase& database);

}  // namespace plumo
