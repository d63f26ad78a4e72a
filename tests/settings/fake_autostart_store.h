#pragma once

#include "platform/autostart_store.h"

namespace plumo::test {

// Keeps the autostart entry in memory and counts the calls; can be told to fail writes.
class FakeAutostartStore final : public AutostartStore {
public:
    void writeEntry() override {
        ++writes;
        if (failWrites) throw AutostartError("Failed to set data for 'fake entry'");
        present = true;
    }
    void removeEntry() override {
        ++removals;
        present = false;
    }

    bool present = false;
    bool failWrites = false;
    int writes = 0;
    int removals = 0;
};

}  // namespace plumo::test
