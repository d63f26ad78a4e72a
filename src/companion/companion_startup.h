#pragma once

// The companion's start-up sequence, step by step in its fixed order, and the steps that
// wait for her first frame: the tray icon, the greeting sound, then any message for the
// user. Messages come last, once she is on the screen, so that whatever the user does from
// the tray while one is open (hide her, show her, say goodbye) stands.

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace plumo {

class Tgirlfrm;
enum class StartupResult;

class CompanionStartup {
public:
    explicit CompanionStartup(Tgirlfrm& window) : window_(window) {}

    StartupResult run();
    // Runs once her first frame is on the screen; the later calls do nothing.
    void finishAfterFirstFrame();
    bool complete() const { return !pending_; }

    // A message for the user: shown now, or after her first frame while start-up finishes.
    void tellUser(const QString& text, bool isError);

private:
    void setUpTrayIcon();

    Tgirlfrm& window_;
    bool pending_ = false;
    bool finishing_ = false;
    std::vector<std::pair<QString, bool>> messages_;  // text, is an error
};

}  // namespace plumo
