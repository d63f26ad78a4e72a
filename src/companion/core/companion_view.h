#pragma once

// What the companion's deciding parts (the tick, the answer actions, the memo launcher,
// the settings command) do to her window: speak, open the command panel, hide or show,
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
    // The text in the small bubble; shows her if she is hidden (showinfo).
    virtual void showInfo() = 0;
    // The command panel in place of the bubble, the bubble text cleared (showmenu).
    virtual void showCommandPanel() = 0;

    // Shown exactly while toptimer runs; the hide/show toggle is btnhideClick.
    virtual bool isShown() const = 0;
    virtual void toggleShown() = 0;

    // The memo button (btnreminder) and the main menu's memo item (N2), set together.
    virtual QString memoCaption() const = 0;
    virtual void setMemoCaptions(const QString& caption) = 0;

    virtual QString answerCaption(AnswerItem item) const = 0;
    virtual void setAnswerCaption(AnswerItem item, const QString& caption) = 0;
    virtual bool answerVisible(AnswerItem item) const = 0;
    virtual void setAnswerVisible(AnswerItem item, bool visible) = 0;
};

}  // namespace plumo
