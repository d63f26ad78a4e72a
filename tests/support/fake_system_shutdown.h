#pragma once

#include "platform/system_shutdown.h"

namespace plumo::test {

// Counts the requests to power off; never touches the system.
class FakeSystemShutdown final : public SystemShutdown {
public:
    void powerOff() override { ++powerOffs; }

    int powerOffs = 0;
};

}  // namespace plumo::test
