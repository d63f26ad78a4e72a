// Hiding and showing her, keeping her on top while shown, and the goodbye.

#include "companion/girl_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "platform/window_state.h"

namespace plumo {
namespace {

const QString kShownCaption = QStringLiteral("隐藏小秘书");
const QString kHiddenCaption = QStringLiteral("显示小秘书");
const QString kGoodbyeText = QStringLiteral("BYE BYE！有事您叫我。");
const QString kQuitAction = QStringLiteral("退出");

}  // namespace

void Tgirlfrm::N4Click() { btnhide->click(); }

void Tgirlfrm::N11Click() { btnhide->click(); }

void Tgirlfrm::hiconClick() { menus().N4->trigger(); }

void Tgirlfrm::hiconDblClick() { menus().N4->trigger(); }

void Tgirlfrm::btnhideClick() {
    showWhenFree_ = false;  // hidden or shown by hand since
    if (menus().N4->text().contains(QStringLiteral("隐藏"))) {
        // Without a tray there would be no way back: she stays.
        if (!trayPresent()) return;
        keepingOnTop_ = false;
        menus().N4->setText(kHiddenCaption);
        hicon->HideMainWindow();
    } else {
        menus().N4->setText(kShownCaption);
        hicon->RestoreMainWindow();
    }
}

void Tgirlfrm::setVisible(bool visible) {
    if (visible && !isVisible()) keepOffTaskbar(this);  // before the window is mapped
    QWidget::setVisible(visible);
}

void Tgirlfrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    keepingOnTop_ = true;  // FormShow: toptimer runs with the next beat
    if (!followingScreen_ && windowHandle()) {
        followingScreen_ = true;
        // Queued: the widget takes the new screen's ratio in the same turn.
        connect(windowHandle(), &QWindow::screenChanged, this, &Tgirlfrm::followPixelRatio,
                Qt::QueuedConnection);
    }
    // Once mapped, ask the window manager again: it forgets the state at every hide.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) keepOffTaskbar(this);
    });
}

void Tgirlfrm::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The frame reaches the screen when this painting is done: finish once it has.
    if (!startup_->complete())
        QTimer::singleShot(0, this, [this] { startup_->finishAfterFirstFrame(); });
}

void Tgirlfrm::toptimerTimer() {
    if (isMinimized()) showNormal();
    // Activate within this program only; never take the focus from another program. The
    // window manager keeps her above other windows: nothing is sent while all is as it is.
    if (QGuiApplication::applicationState() == Qt::ApplicationActive && !isActiveWindow())
        activateWindow();
}

// ---------------------------------------------------------------- goodbye

void Tgirlfrm::nexitClick() {
    if (!keepingOnTop_) menus().N4->trigger();
    state_.quitaction = kQuitAction;
    lblinfo->setText(kGoodbyeText);
    showinfo();
    state_.quitcount = 3;
    quittimer.start();
}

void Tgirlfrm::quittimerTimer() {
    --state_.quitcount;
    if (state_.quitcount == 1) {
        if (state_.quitaction == kQuitAction) close();
        state_.quitcount = 3;
        quittimer.stop();
    }
}

void Tgirlfrm::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

}  // namespace plumo
