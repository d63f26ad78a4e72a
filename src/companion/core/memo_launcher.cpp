#include "companion/core/memo_launcher.h"

namespace plumo {

MemoLauncher::MemoLauncher(CompanionState& state, CompanionView& view, ProgramLauncher& programs,
                           ProcessTable& processes)
    : state_(state), view_(view), programs_(programs), processes_(processes) {}

void MemoLauncher::startOrClose() {
    state_.watchedexe = kMemoProgram;
    if (findprocess(kMemoProgram) != 0) {
        // Running, whoever started it: end every copy.
        state_.watchedexe.clear();
        killprocess(kMemoProgram);
        view_.setMemoCaptions(kMemoCaptionOpen);
        return;
    }
    // A failed start is not reported: the watcher's first tick finds nothing and sets the
    // captions back.
    programs_.open(state_.apppath + kMemoProgram, kMemoProgramArgument);
    setWatching(true);
    view_.setMemoCaptions(kMemoCaptionClose);
    if (view_.isShown()) view_.toggleShown();
}

void MemoLauncher::checkStillRunning() {
    if (findprocess(state_.watchedexe) != 0) return;
    if (state_.watchedexe == kMemoProgram) view_.setMemoCaptions(kMemoCaptionOpen);
    state_.watchedexe.clear();
    setWatching(false);
}

long MemoLauncher::findprocess(const QString& name) const {
    return processes_.findFirst(name.toStdString());
}

void MemoLauncher::killprocess(const QString& name) { processes_.terminateAll(name.toStdString()); }

void MemoLauncher::setWatching(bool on) {
    if (watching_ == on) return;
    watching_ = on;
    if (watchingChanged_) watchingChanged_(on);
}

}  // namespace plumo
