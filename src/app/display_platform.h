#pragma once

// Where her window can live. She must stay on top and place herself, which a Wayland client
// cannot do; so unless the user chose a Qt platform she runs on X11, which Wayland sessions
// offer through XWayland.

#include <functional>
#include <string>

namespace plumo {

struct DisplayPlatformChoice {
    std::string platform;  // the Qt platform to use; empty: leave the user's choice
    std::string error;     // set when no display she can use is reachable
};

// Decides from the environment (`getenv` answers a variable's value, or null).
DisplayPlatformChoice chooseDisplayPlatform(const std::function<const char*(const char*)>& getenv);

}  // namespace plumo
