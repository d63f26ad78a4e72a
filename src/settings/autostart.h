#pragma once

// The rule that keeps the autostart entry in line with the autostart setting.

#include "platform/autostart_store.h"

namespace plumo {

// Writes the entry when `on`, removes it otherwise. Always returns true; a failed write
// throws AutostartError.
bool setautostart(AutostartStore& store, bool on);

}  // namespace plumo
