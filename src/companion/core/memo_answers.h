#pragma once

// The start-up counts of open plans and overdue reminders, and the answer menu that a
// click on her bubble opens after a count, a due item or the late-night advice.
// No widgets: the actions see the companion state and view, the memo query and its repeating
// items, the memo program's launcher and the message-box and shutdown seams.

#include <QString>
#include <functional>

#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "companion/core/memo_launcher.h"
#include "companion/core/memo_repeats.h"
#include "memo/hand_off.h"
#include "memo/memo_database.h"
#include "platform/message_box.h"
#include "platform/system_shutdown.h"

namespace plumo {

// Captions of the answer menu.
inline const QString kViewCaption = QStringLiteral("查看");
inline const QString kShutDownCaption = QStringLiteral("关机");
inline const QString kGotItCaption = QStringLiteral("知道了");
inline const QString kRemindNoMoreCaption = QStringLiteral("不再提醒");

inline const QString kShutdownQuestionCaption = QStringLiteral("温馨提示");
inline const QString kShutdownQuestion = QStringLiteral("电脑即将关闭，确定吗");

// Counts the open plans into plancount; with any, the bubble text says how many.
// Throws MemoError when the statement fails.
void checkplan(CompanionState& state, CompanionView& view, MemoQuery& query);

// Counts the open reminders due before the current second into overduecount; with any,
// the bubble text says how many, and a plan count said before no longer stands.
// Sets overduechecked once the count is taken. Throws MemoError when the statement fails.
void checkreminder(CompanionState& state, CompanionView& view, MemoQuery& query);

// An overdue count taken later than start-up takes over her bubble and answer menu as a
// start-up count does: "查看" and "知道了", "延迟一天" hidden, so that no answer reaches an
// item announced before.
void armAnswersForCount(CompanionState& state, CompanionView& view);

// Shows an error to the user; at start-up, once her first frame is on the screen.
using ErrorReport = std::function<void(const QString& text)>;

// The counts of the start-up sequence: the open plans, or else the overdue reminders.
// When one is above 0 the menu is armed with "查看" and the bubble says `prefix` and the
// count. A failing statement reports its error and leaves the bubble as it was, so that
// the idle greeting follows. Returns true when a count was put in the bubble.
bool takeStartupCounts(CompanionState& state, CompanionView& view, MemoQuery& query,
                       const ErrorReport& reportError, const QString& prefix);
// The same, after the repeating items closed in a run that ended before it could roll them
// forward are open again, so that the counts see them. A failing roll reports its error and
// the counts are taken all the same.
bool takeStartupCounts(CompanionState& state, CompanionView& view, MemoQuery& query,
                       MemoRepeats& repeats, const ErrorReport& reportError, const QString& prefix);

// How long "稍后提醒" puts a due item off.
inline constexpr int kSnoozeShortSeconds = 10 * 60;  // "10 分钟"
inline constexpr int kSnoozeLongSeconds = 60 * 60;   // "1 小时"

// The actions of the answer menu. Each that fails (a statement, a hand-off file) shows its
// error and skips its remaining steps.
class MemoAnswers {
public:
    MemoAnswers(CompanionState& state, CompanionView& view, MemoQuery& query, MemoRepeats& repeats,
                MemoLauncher& launcher, MessageBoxes& boxes, SystemShutdown& shutdown)
        : state_(state),
          view_(view),
          query_(query),
          repeats_(repeats),
          launcher_(launcher),
          boxes_(boxes),
          shutdown_(shutdown) {}

    // "查看" (N13): the memo program on what the bubble speaks of; "关机" after the
    // late-night advice.
    void view();
    // "知道了" (N12), or "不再提醒" while a due item is announced: closes that item; a
    // repeating one opens again at its next occurrence.
    void closeItem();
    // "延迟一天" (N14): the announced item one day later.
    void postponeItem();
    // "稍后提醒" (N15): the announced item again `seconds` after the current second.
    void snoozeItem(int seconds);

private:
    // Steps shared by the answers on an item once the database is done with.
    void dismiss();
    // The closed item `id` at its next occurrence, when it repeats; a failure is shown and
    // the close stands.
    void rollForward(std::int64_t id);
    // Writes a hand-off file whole and closes it; false after showing why it failed.
    bool writeHandOff(const HandOff& handOff);

    CompanionState& state_;
    CompanionView& view_;
    MemoQuery& query_;
    MemoRepeats& repeats_;
    MemoLauncher& launcher_;
    MessageBoxes& boxes_;
    SystemShutdown& shutdown_;
};

}  // namespace plumo
