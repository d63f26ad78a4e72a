#pragma once

// The start-up counts of open plans and overdue reminders, and the answer menu that a
// click on her bubble opens after a count, a due item or the late-night advice.
// No widgets: the actions see the companion state and view, the memo query and the
// message-box and shutdown seams.

#include <QString>

#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
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

// The hand-off files the memo program reads when it starts, in the program folder.
inline const QString kReminderHandOffFile = QStringLiteral("mr.tmp");
inline const QString kPlanHandOffFile = QStringLiteral("mp.tmp");

// Counts the open plans into plancount; with any, the bubble text says how many.
// Throws MemoError when the statement fails.
void checkplan(CompanionState& state, CompanionView& view, MemoQuery& query);

// Counts the open reminders due before the current second into overduecount; with any,
// the bubble text says how many. Sets overduechecked once the count is taken.
// Throws MemoError when the statement fails.
void checkreminder(CompanionState& state, CompanionView& view, MemoQuery& query);

// The counts of the start-up sequence: the open plans, or else the overdue reminders.
// When one is above 0 the menu is armed with "查看" and the bubble says `prefix` and the
// count. A failing statement shows its error and leaves the bubble as it was, so that
// the idle greeting follows. Returns true when a count was put in the bubble.
bool takeStartupCounts(CompanionState& state, CompanionView& view, MemoQuery& query,
                       MessageBoxes& boxes, const QString& prefix);

// The three actions of the answer menu. Each that fails (a statement, a hand-off file)
// shows its error and skips its remaining steps.
class MemoAnswers {
public:
    MemoAnswers(CompanionState& state, CompanionView& view, MemoQuery& query, MessageBoxes& boxes,
                SystemShutdown& shutdown)
        : state_(state), view_(view), query_(query), boxes_(boxes), shutdown_(shutdown) {}

    void N13Click();  // "查看" (or "关机" after the late-night advice)
    void N12Click();  // "知道了" (or "不再提醒" while a due item is announced)
    void N14Click();  // "延迟一天"

private:
    // Steps shared by N12Click and N14Click once the database is done with.
    void dismiss();
    // Writes a hand-off file whole and closes it; false after showing why it failed.
    bool writeHandOff(const QString& name, const QByteArray& bytes);

    CompanionState& state_;
    CompanionView& view_;
    MemoQuery& query_;
    MessageBoxes& boxes_;
    SystemShutdown& shutdown_;
};

}  // namespace plumo
