#pragma once

#include "platform/process_table.h"

namespace plumo {

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
