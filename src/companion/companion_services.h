#pragma once

// The services the companion window uses from the desktop (tests hand in fakes), and how
// her start-up ended.

#include <QString>
#include <functional>

namespace plumo {

class ActiveWindowWatch;
class AutostartStore;
class Player;
class ProcessTable;
class ProgramLauncher;
class SystemShutdown;

struct CompanionServices {
    ProgramLauncher* launcher = nullptr;       // starts the sibling programs
    ProcessTable* processes = nullptr;         // finds and ends the memo program
    SystemShutdown* shutdown = nullptr;        // the late-night offer to power off
    Player* player = nullptr;                  // the one media player (mp1)
    AutostartStore* autostart = nullptr;       // the per-user autostart entry
    std::function<bool()> anotherCopyRunning;  // the single-instance guard
    QString programFolder;                     // empty: the executable's folder
    QString dataFolder;                        // empty: the program folder
    // The display's active window: she keeps quiet under another program's full-screen one.
    const ActiveWindowWatch* activeWindow = nullptr;
};

enum class StartupResult {
    Running,         // the window is to be shown
    AnotherCopy,     // another copy runs: end silently
    DatabaseFailed,  // the memo database could not be opened: end
};

}  // namespace plumo
