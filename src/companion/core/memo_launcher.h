#pragma once

// The memo button: starts the memo program, or ends it when it runs, and the watcher
// that sets the memo captions back once the program is gone. No widgets: the window
// routes btnreminder, N2 and watchTimer here and runs watchTimer while watching() says
// so; the answer menu's "查看" comes here too.
//
//   Idle     "备忘录"     watchTimer off  watchedexe empty
//   Started  "关闭备忘录"  watchTimer on   watchedexe "Notavo"

#include <QString>
#include <functional>

#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "platform/process_table.h"
#include "platform/program_launcher.h"

namespace plumo {

// The memo program in the program folder, and what the companion starts it with.
inline const QString kMemoProgram = QStringLiteral("Notavo");
inline const QString kMemoProgramArgument = QStringLiteral("-s");
inline const QString kMemoCaptionOpen = QStringLiteral("备忘录");
inline const QString kMemoCaptionClose = QStringLiteral("关闭备忘录");

class MemoLauncher {
public:
    MemoLauncher(CompanionState& state, CompanionView& view, ProgramLauncher& programs,
                 ProcessTable& processes);

    // Starts the memo program, or ends every copy when one runs (btnreminder, N2).
    void startOrClose();
    // Once a second while watching(): sets the captions back once the program is gone
    // (watchTimer).
    void checkStillRunning();

    // Whether watchTimer is enabled.
    bool watching() const { return watching_; }
    // Called with the new value whenever watching() changes.
    void onWatchingChanged(std::function<void(bool)> handler) {
        watchingChanged_ = std::move(handler);
    }

    // The id of the first process of this user running `name`, or 0.
    long findprocess(const QString& name) const;
    // Ends every process of this user running `name`.
    void killprocess(const QString& name);

private:
    void setWatching(bool on);

    CompanionState& state_;
    CompanionView& view_;
    ProgramLauncher& programs_;
    ProcessTable& processes_;
    bool watching_ = false;
    std::function<void(bool)> watchingChanged_;
};

}  // namespace plumo
