#include "platform/message_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "platform/application_title.h"

namespace plumo {
namespace {

QPointer<QWidget> homeWindow;

// A message box that, once Qt has sized and placed it, moves onto the home window's screen
// where Qt placed it on another one. A box over a window of the program stays over it.
class HomeScreenMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const QScreen* screen = homeWindow ? homeWindow->screen() : nullptr;
        if (parentWidget() || !screen) return;
        const QPoint placed =
            messageBoxPosition(frameGeometry(), screen->geometry(), screen->availableGeometry());
        if (placed != pos()) move(placed);
    }
};

// As QMessageBox's own static functions build their boxes: the buttons in the order of
// their values, the first one that accepts as the default.
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    HomeScreenMessageBox box(icon, caption, text, QMessageBox::NoButton,
                             QApplication::activeWindow());
    const auto* buttonBox = box.findChild<QDialogButtonBox*>();
    for (unsigned mask = QMessageBox::FirstButton; mask <= QMessageBox::LastButton; mask <<= 1) {
        if (!(buttons & mask)) continue;
        QPushButton* button = box.addButton(static_cast<QMessageBox::StandardButton>(mask));
        if (!box.defaultButton() && buttonBox &&
            buttonBox->buttonRole(button) == QDialogButtonBox::AcceptRole)
            box.setDefaultButton(button);
    }
    if (box.exec() == -1) return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

}  // namespace

QPoint messageBoxPosition(const QRect& box, const QRect& screenGeometry, const QRect& workArea) {
    if (screenGeometry.contains(box.center())) return box.topLeft();
    return workArea.center() - QPoint(box.width() / 2, box.height() / 2);
}

void showMessageBoxesOnScreenOf(QWidget* window) { homeWindow = window; }

void WidgetMessageBoxes::information(const QString& text) {
    showBox(QMessageBox::Information, kApplicationTitle, text, QMessageBox::Ok);
}

void WidgetMessageBoxes::error(const QString& text) {
    showBox(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok);
}

bool WidgetMessageBoxes::question(const QString& caption, const QString& text) {
    return showBox(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
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
