#pragma once

// A process table for tests: a list of running processes of this user, each with the
// executable entry a snapshot would report (a bare file name or a full path). Ending a
// process removes it from the list and records its id.

#include <string>
#include <vector>

#include "platform/process_table.h"

namespace plumo::test {

class FakeProcessTable : public ProcessTable {
public:
    struct Process {
        long pid;
        std::string executable;
    };

    long findFirst(std::string_view name) const override {
        for (const Process& p : processes)
            if (!name.empty() && upperCasedName(p.executable) == upperCasedName(name)) return p.pid;
        return 0;
    }
    int terminateAll(std::string_view name) override {
        int count = 0;
        std::erase_if(processes, [&](const Process& p) {
            const bool match =
                !name.empty() &&
                (upperCasedName(fileNamePart(p.executable)) == upperCasedName(name) ||
                 upperCasedName(p.executable) == upperCasedName(name));
            if (match) {
                terminated.push_back(p.pid);
                ++count;
            }
            return match;
        });
        return count;
    }

    long start(const std::string& executable) {
        processes.push_back({nextPid, executable});
        return nextPid++;
    }
    void end(long pid) {
        std::erase_if(processes, [&](const Process& p) { return p.pid == pid; });
    }

    std::vector<Process> processes;
    std::vector<long> terminated;  // in order
    long nextPid = 100;
};

}  // namespace plumo::test
