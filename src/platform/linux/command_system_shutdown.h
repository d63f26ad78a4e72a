#pragma once

#include "platform/system_shutdown.h"

namespace plumo {

// `systemctl poweroff`, and `shutdown -h now` when systemctl cannot be started or refuses.
class CommandSystemShutdown final : public SystemShutdown {
public:
    void powerOff() override;
};

}  // namespace plumo
