#pragma once

// The companion's shared state: one set of values for the whole run, owned by the
// companion window and read and written by the parts that act for it (the start-up
// sequence, the tick, the answer actions, the memo watcher, the settings exchange).
// Plain values, no widgets, so those parts are tested without a window.

#include <QString>

namespace plumo {

struct CompanionState {
    QString apppath;         // program folder: programs and sounds; ends with '/'
    QString datapath;        // what she writes: settings, memo database, skins, hand-off files;
                             // apppath unless installed; ends with '/'
    int skinno = 1;          // which outfit image is on show, 1 or 2
    bool answering = false;  // a click on the bubble opens the answer menu
    int quitcount = 3;       // countdown of quittimer ticks
    QString quitaction;      // "退出" once a goodbye has started
    int nightcount = 0;      // ticks left until the next late-night check
    int reminderid = 0;      // id of the memo item last announced as due
    bool overduechecked = false;
    int plancount = 0;
    int overduecount = 0;
    QString timeset;     // "on": chime the full hour
    QString soundset;    // the voice: "0", "1" or "2"
    QString autoset;     // "on": start with the session
    QString watchedexe;  // the memo program while it is watched, else empty
};

}  // namespace plumo
