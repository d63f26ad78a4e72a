#pragma once

// The one message-box seam. The program shows every message box through
// currentMessageBoxes(); tests install a recorder that answers them.

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace plumo {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A plain message with the application title as caption and an OK button.
    virtual void information(const QString& text) = 0;
    // The box that reports an error that ended a handler, with the error's own text.
    virtual void error(const QString& text) = 0;
    // A yes/no question with its own caption; true for yes.
    virtual bool question(const QString& caption, const QString& text) = 0;
};

// Real message boxes, modal to the active window.
class WidgetMessageBoxes final : public MessageBoxes {
public:
    void information(const QString& text) override;
    void error(const QString& text) override;
    bool question(const QString& caption, const QString& text) override;
};

// The real boxes that no window of the program holds (none is active) show on the screen
// `window` is on, wherever the pointer is; none given (or the window gone), where Qt puts
// them. A box over an active window stays over it.
void showMessageBoxesOnScreenOf(QWidget* window);

// Where a box that Qt placed at `box` shows so that it is on a screen of `screenGeometry`
// and `workArea`: where Qt placed it when its middle lies on that screen, else centred on
// the work area.
QPoint messageBoxPosition(const QRect& box, const QRect& screenGeometry, const QRect& workArea);

MessageBoxes& currentMessageBoxes();
MessageBoxes* setCurrentMessageBoxes(MessageBoxes* boxes);

}  // namespace plumo
