#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/application_title.h"

namespace plumo {

void WidgetMessageBoxes::information(const QString& text) {
    QMessageBox::information(QApplication::activeWindow(), kApplicationTitle, text);
}

void WidgetMessageBoxes::error(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), kApplicationTitle, text);
}

bool WidgetMessageBoxes::question(const QString& caption, const QString& text) {
    return QMessageBox::question(QApplication::activeWindow(), caption, text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

namespace {
WidgetMessageBoxes widgetBoxes;
MessageBoxes* installed = nullptr;
}  // namespace

MessageBoxes& currentMessageBoxes() { return installed ? *installed : widgetBoxes; }

MessageBoxes* setCurrentMessageBoxes(MessageBoxes* boxes) {
    MessageBoxes* previous = installed;
    installed = boxes;
    return previous;
}

}  // namespace plumo
