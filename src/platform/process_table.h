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

// The table read from /proc. The executable entry of a process is the file name of its
// executable (the target of /proc/<pid>/exe), which names the program file exactly as it
// lies in its folder, unlike comm, which the kernel cuts to 15 bytes and a process may
// rename. Processes whose executable cannot be read (kernel threads, zombies, other
// users) are not listed. Termination is SIGKILL, sent through a pidfd so that a process
// id reused meanwhile is never hit.
class ProcTable final : public ProcessTable {
public:
    long findFirst(std::string_view name) const override;
    int terminateAll(std::string_view name) override;
};

}  // namespace plumo
