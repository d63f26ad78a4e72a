#include "settings/autostart.h"

namespace plumo {

bool setautostart(AutostartStore& store, bool on) {
    if (on) {
        store.writeEntry();
    } else {
        store.removeEntry();
    }
    return true;
}

}  // namespace plumo
