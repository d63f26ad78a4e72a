#pragma once

// The companion's start-up sequence, step by step in its fixed order, and the steps that
// wait for her first frame: the tray icon, the greeting sound, then any message for the
// user. Messages come last, once she is on the screen, so that whatever the user does from
// the tray while one is open (hide her, show her, say goodbye) stands.

#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "companion/companion_services.h"
#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "companion/core/memo_repeats.h"
#include "memo/memo_database.h"

namespace plumo {

// What the start-up sequence needs of her window.
class StartupWindow {
public:
    virtual ~StartupWindow() = default;

    virtual CompanionState& state() = 0;
    virtual CompanionView& view() = 0;
    virtual const CompanionServices& services() const = 0;
    // Keeps the memo database for the run and makes the parts that use it.
    virtual MemoQuery& attachDatabase(std::unique_ptr<MemoDatabase> database) = 0;
    // The repeating items of the attached memo database.
    virtual MemoRepeats& repeats() = 0;
    // Loads the skin pictures; the files that could not be loaded, one line each.
    virtual QStringList loadSkins() = 0;
    // Reads the chime, voice and autostart settings.
    virtual void readconfig() = 0;
    // Docks the tray icon with the main menu; true when a notification area holds it.
    virtual bool dockTrayIcon() = 0;
};

class CompanionStartup {
public:
    explicit CompanionStartup(StartupWindow& window) : window_(window) {}

    StartupResult run();
    // Runs once her first frame is on the screen; the later calls do nothing.
    void finishAfterFirstFrame();
    bool complete() const { return !pending_; }

    // A message for the user: shown now, or after her first frame while start-up finishes.
    void tellUser(const QString& text, bool isError);

private:
    StartupWindow& window_;
    bool pending_ = false;
    bool finishing_ = false;
    std::vector<std::pair<QString, bool>> messages_;  // text, is an error
};

}  // namespace plumo
