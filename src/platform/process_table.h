#pragma once

// The running processes of this user, looked up and ended by executable name: the
// stand-in for the process snapshot with its open and terminate calls.
//
// Names are compared without regard to letter case (both sides upper-cased). Only
// processes of the same user are seen, so a program run by root never ends the memo
// program of another user.

#include <string>
#include <string_view>

namespace plumo {

class ProcessTable {
public:
    virtual ~ProcessTable() = default;
    // The id of the first process whose executable entry equals `name` as a whole, or 0
    // when none does (also when the table cannot be read).
    virtual long findFirst(std::string_view name) const = 0;
    // Ends at once, with no chance to save, every process whose executable entry, or the
    // file-name part of it, equals `name`. Processes that cannot be ended are passed over.
    // Returns how many were ended.
    virtual int terminateAll(std::string_view name) = 0;
};

// ASCII upper-casing, the way process names are compared.
std::string upperCasedName(std::string_view name);
// The file-name part of an executable entry: the text after the last '/', '\\' or ':'.
std::string_view fileNamePart(std::string_view entry);

}  // namespace plumo
