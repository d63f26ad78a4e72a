#include "companion/core/memo_answers.h"

#include <QSaveFile>

#include "memo/hand_off.h"
#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "platform/clock.h"

namespace plumo {
namespace {

QString errorText(const MemoError& error) { return QString::fromStdString(error.what()); }

}  // namespace

void checkplan(CompanionState& state, CompanionView& view, MemoQuery& query) {
    state.plancount = static_cast<int>(countOpenPlans(query));
    if (state.plancount > 0)
        view.setBubbleText(QStringLiteral("你有%1项未完成的计划").arg(state.plancount));
}

void checkreminder(CompanionState& state, CompanionView& view, MemoQuery& query) {
    state.overduecount = static_cast<int>(countOverdueReminders(query, currentClock().now()));
    if (state.overduecount > 0) {
        view.setBubbleText(QStringLiteral("你有%1项已经过期的提醒事项").arg(state.overduecount));
        state.plancount = 0;  // "查看" now opens the reminders
    }
    state.overduechecked = true;
}

void armAnswersForCount(CompanionState& state, CompanionView& view) {
    state.answering = true;
    view.setAnswerCaption(AnswerItem::View, kViewCaption);
    view.setAnswerVisible(AnswerItem::Postpone, false);
    view.setAnswerCaption(AnswerItem::GotIt, kGotItCaption);
}

bool takeStartupCounts(CompanionState& state, CompanionView& view, MemoQuery& query,
                       const ErrorReport& reportError, const QString& prefix) {
    const QString before = view.bubbleText();
    try {
        checkplan(state, view, query);
        if (state.plancount <= 0) {
            checkreminder(state, view, query);
            if (state.overduecount <= 0) return false;
        }
    } catch (const MemoError& error) {
        view.setBubbleText(before);
        reportError(errorText(error));
        return false;
    }
    state.answering = true;
    view.setAnswerCaption(AnswerItem::View, kViewCaption);
    view.setBubbleText(prefix + view.bubbleText());
    return true;
}

bool takeStartupCounts(CompanionState& state, CompanionView& view, MemoQuery& query,
                       MemoRepeats& repeats, const ErrorReport& reportError,
                       const QString& prefix) {
    try {
        if (repeats.hasTable()) repeats.rollForwardClosed(currentClock().now());
    } catch (const MemoError& error) {
        reportError(errorText(error));
    }
    return takeStartupCounts(state, view, query, reportError, prefix);
}

bool MemoAnswers::writeHandOff(const HandOff& handOff) {
    // Written under a temporary name and renamed into place: the memo program, started
    // right after, finds the whole content or the previous file, never half of it.
    const QString path = state_.datapath + QString::fromUtf8(handOffFileName(handOff));
    const QByteArray bytes = QByteArray::fromStdString(handOffBytes(handOff));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    boxes_.error(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    return false;
}

void MemoAnswers::view() {
    state_.answering = false;
    if (view_.answerVisible(AnswerItem::Postpone)) {
        // A due item is announced: the memo program opens on it.
        if (!writeHandOff({HandOff::Kind::Item, state_.reminderid})) return;
        launcher_.startOrClose();
    } else {
        const QString caption = view_.answerCaption(AnswerItem::View);
        if (caption.contains(kViewCaption)) {
            const auto kind =
                state_.plancount > 0 ? HandOff::Kind::OpenPlans : HandOff::Kind::OverdueReminders;
            if (!writeHandOff({kind, 0})) return;
            launcher_.startOrClose();
        }
        if (caption.contains(kShutDownCaption)) {
            if (boxes_.question(kShutdownQuestionCaption, kShutdownQuestion)) shutdown_.powerOff();
            launcher_.startOrClose();  // as the main menu's memo item does
        }
    }
    view_.showCommandPanel();
    state_.plancount = 0;
}

void MemoAnswers::closeItem() {
    if (view_.answerVisible(AnswerItem::Postpone)) {
        try {
            plumo::closeItem(query_, state_.reminderid);
        } catch (const MemoError& error) {
            boxes_.error(errorText(error));
            return;
        }
        rollForward(state_.reminderid);
    }
    dismiss();
}

void MemoAnswers::rollForward(std::int64_t id) {
    try {
        if (repeats_.hasTable()) repeats_.rollForward(id, currentClock().now());
    } catch (const MemoError& error) {
        boxes_.error(errorText(error));
    }
}

void MemoAnswers::postponeItem() {
    try {
        plumo::postponeItem(query_, state_.reminderid);
    } catch (const MemoError& error) {
        boxes_.error(errorText(error));
        return;
    }
    dismiss();
}

void MemoAnswers::snoozeItem(int seconds) {
    const DateTime until = startOfSecond(secondOf(currentClock().now()) + seconds);
    try {
        repeats_.snooze(state_.reminderid, until);
    } catch (const MemoError& error) {
        boxes_.error(errorText(error));
        return;
    }
    dismiss();
}

void MemoAnswers::dismiss() {
    view_.setAnswerVisible(AnswerItem::Postpone, false);
    state_.answering = false;
    view_.toggleShown();
    view_.setAnswerCaption(AnswerItem::GotIt, kGotItCaption);
    view_.showCommandPanel();
    state_.plancount = 0;
}

}  // namespace plumo
