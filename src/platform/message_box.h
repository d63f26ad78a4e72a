#pragma once

// The one message-box seam. The program shows every message box through
// currentMessageBoxes(); tests install a recorder that answers them.

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

MessageBoxes& currentMessageBoxes();
MessageBoxes* setCurrentMessageBoxes(MessageBoxes* boxes);

}  // namespace plumo
