#pragma once

// Errors of the memo database layer. Each carries the text to show the user
// as it stands (the engine's own message where the engine raised it).

#include <stdexcept>
#include <string>

namespace plumo {

class MemoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The engine refused a statement (syntax, missing table or column, locked or damaged file).
class DatabaseError : public MemoError {
public:
    using MemoError::MemoError;
};

// The memo database could not be opened for the run.
class DatabaseOpenError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A field value could not be read as the type asked for (a Null read as text, for example).
class ConversionError : public MemoError {
public:
    using MemoError::MemoError;
};

}  // namespace plumo
