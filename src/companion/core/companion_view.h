#pragma once

// What the companion's deciding parts (the tick, the answer actions, the memo watcher,
// the settings exchange) do to her window: speak, open the command panel, hide or show,
// and the captions that hold state. The window implements it; tests use a fake that
// records the calls.

#include <QString>

namespace plumo {

// The items of the answer menu.
enum class AnswerItem {
    View,      // N13: "查看", or "关机" after the late-night advice
    GotIt,     // N12: "知道了", or "不再提醒" while a due item is announced
    Postpone,  // N14: "延迟一天", visible only while a due item is announced
};

class CompanionView {
public:
    virtual ~CompanionView() = default;

    // The bubble text (lblinfo); empty means nothing is being said.
    virtual QString bubbleText() const = 0;
    virtual void setBubbleText(const QString& text) = 0;
    virtual void showinfo() = 0;  // the text in the small bubble; shows a hidden companion
    virtual void showmenu() = 0;  // the command panel, bubble text cleared

    // Shown exactly while toptimer runs; the toggle is btnhideClick.
    virtual bool isShown() const = 0;
    virtual void btnhideClick() = 0;

    // The memo button (btnreminder) and the main menu's memo item (N2), set together.
    virtual QString memoCaption() const = 0;
    virtual void setMemoCaptions(const QString& caption) = 0;
    // The memo button's action: start the memo program, or close it when it runs.
    virtual void btnreminderClick() = 0;

    virtual QString answerCaption(AnswerItem item) const = 0;
    virtual void setAnswerCaption(AnswerItem item, const QString& caption) = 0;
    virtual bool answerVisible(AnswerItem item) const = 0;
    virtual void setAnswerVisible(AnswerItem item, bool visible) = 0;
};

}  // namespace plumo
