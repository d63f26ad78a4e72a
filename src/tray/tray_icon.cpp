#include "tray/tray_icon.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QWindowStateChangeEvent>

#include "platform/message_box.h"

namespace plumo {
namespace {

// Runs `work`; an error it throws is shown in the error box, as for any event handler.
template <class Work>
void reportingErrors(Work&& work) {
    try {
        work();
    } catch (const std::exception& error) {
        currentMessageBoxes().error(QString::fromUtf8(error.what()));
    }
}

TShiftState shiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    return shift;
}

bool isMultiDocumentFrame(QWidget* window) {
    auto* frame = qobject_cast<QMainWindow*>(window);
    return frame != nullptr && qobject_cast<QMdiArea*>(frame->centralWidget()) != nullptr;
}

}  // namespace

TCustomhTrayIcon::TCustomhTrayIcon(QObject* owner, std::unique_ptr<NotificationAreaService> service)
    : QObject(owner),
      service_(service ? std::move(service) : makeNotificationAreaService()),
      owner_(qobject_cast<QWidget*>(owner)) {
    animationTimer_.setInterval(1000);
    connect(&animationTimer_, &QTimer::timeout, this,
            [this] { reportingErrors([this] { AnimateTick(); }); });

    record_ = NotifyIconRecord::initial(QGuiApplication::applicationDisplayName());
    service_->setMessageSink([this](const TrayMessage& message) {
        long answer = 0;
        reportingErrors([&] { answer = HandleTrayMessage(message); });
        return answer;
    });

    if (owner_) mainWindow_ = owner_->window();
    watchWindows();
    UpdateIcon();
}

TCustomhTrayIcon::~TCustomhTrayIcon() {
    NotifyShell(NotifyOperation::Delete);
    service_->setMessageSink({});
}

void TCustomhTrayIcon::setMainWindow(QWidget* window) {
    if (mainWindow_ && mainWindow_ != owner_) mainWindow_->removeEventFilter(this);
    mainWindow_ = window;
    watchWindows();
}

void TCustomhTrayIcon::watchWindows() {
    if (owner_) owner_->installEventFilter(this);
    if (mainWindow_) mainWindow_->installEventFilter(this);
}

// --- notification record and service -------------------------------------------------------

bool TCustomhTrayIcon::NotifyShell(NotifyOperation operation) {
    const bool succeeded = service_->notify(operation, record_, displayedIcon_);
    if (succeeded && operation == NotifyOperation::Add) inArea_ = true;
    if (succeeded && operation == NotifyOperation::Delete) inArea_ = false;
    return succeeded;
}

void TCustomhTrayIcon::UpdateIcon() {
    record_.iconKey = displayedIcon_.isNull() ? 0 : displayedIcon_.cacheKey();
    if (visible_) NotifyShell(NotifyOperation::Modify);
}

void TCustomhTrayIcon::resetDisplayedIcon() {
    displayedIcon_ = icon_.isNull() ? QGuiApplication::windowIcon() : icon_;
    record_.iconKey = displayedIcon_.isNull() ? 0 : displayedIcon_.cacheKey();
}

void TCustomhTrayIcon::ResetIcon() {
    resetDisplayedIcon();
    UpdateIcon();
}

void TCustomhTrayIcon::ApplyVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    // The add that follows carries the icon; a modify before it would only fail.
    if (!animate_ || displayedIcon_.isNull()) resetDisplayedIcon();
    if (visible_) {
        if (!NotifyShell(NotifyOperation::Add)) throw EOutOfResources("STrayIconCreateError");
    } else if (!loading_ || inArea_) {
        // While the owner is still being set up there is usually nothing to take away; an
        // icon that did get added is still removed, so it never outlives Visible.
        if (!NotifyShell(NotifyOperation::Delete)) throw EOutOfResources("STrayIconRemoveError");
    }
    if (animate_) {
        if (visible_)
            animationTimer_.start();
        else
            animationTimer_.stop();
    }
}

void TCustomhTrayIcon::setHint(const QString& value) {
    if (value == hint_) return;
    hint_ = value;
    record_.setTooltip(value);
    UpdateIcon();
}

void TCustomhTrayIcon::setBalloonHint(const QString& value) {
    if (value == balloonHint_) return;
    balloonHint_ = value;
    record_.setBalloonText(value);
    NotifyShell(NotifyOperation::Modify);
}

void TCustomhTrayIcon::setBalloonTitle(const QString& value) {
    if (value == balloonTitle_) return;
    balloonTitle_ = value;
    record_.setBalloonTitle(value);
    NotifyShell(NotifyOperation::Modify);
}

bool TCustomhTrayIcon::ShowBalloon() {
    record_.requestBalloon(balloonFlags_);
    return NotifyShell(NotifyOperation::Modify);
}

// --- icon and animation --------------------------------------------------------------------

void TCustomhTrayIcon::setIcon(const QIcon& value) {
    icon_ = value;
    displayedIcon_ = value;
    // An emptied icon falls back to the application's icon rather than leaving a blank entry.
    if (displayedIcon_.isNull())
        ResetIcon();
    else
        UpdateIcon();
}

void TCustomhTrayIcon::setIcons(TrayImageList* value) {
    icons_ = value;
    if (value == nullptr) ResetIcon();
}

void TCustomhTrayIcon::loadFrame() {
    if (icons_ && iconIndex_ >= 0 && iconIndex_ < icons_->count())
        displayedIcon_ = icons_->image(iconIndex_);
}

void TCustomhTrayIcon::ApplyIconIndex(int value) {
    if (value == iconIndex_) return;
    iconIndex_ = value;
    loadFrame();
    UpdateIcon();
}

void TCustomhTrayIcon::setAnimate(bool value) {
    if (value == animate_) return;
    animate_ = value;
    if (value) {
        if (icons_ && icons_->count() > 0 && visible_) animationTimer_.start();
    } else {
        animationTimer_.stop();
        if (!displayedIcon_.isNull()) icon_ = displayedIcon_;
    }
}

void TCustomhTrayIcon::setAnimateInterval(unsigned milliseconds) {
    animationTimer_.setInterval(static_cast<int>(milliseconds));
}

void TCustomhTrayIcon::AnimateTick() {
    if (OnAnimate) OnAnimate(this);
    const bool hasNext = icons_ && iconIndex_ >= 0 && iconIndex_ < icons_->count() - 1;
    iconIndex_ = hasNext ? iconIndex_ + 1 : 0;
    // The frame is loaded at every tick, so a single frame is shown too.
    loadFrame();
    UpdateIcon();
}

// --- messages from the service -------------------------------------------------------------

long TCustomhTrayIcon::HandleTrayMessage(const TrayMessage& message) {
    switch (message.kind) {
        case TrayMessage::Kind::QueryEndSession:
            return 1;
        case TrayMessage::Kind::EndSession:
            NotifyShell(NotifyOperation::Delete);
            return 0;
        case TrayMessage::Kind::HostRestarted:
            inArea_ = false;
            if (visible_) NotifyShell(NotifyOperation::Add);
            return 0;
        case TrayMessage::Kind::Callback:
            runCallback(message.code);
            return 0;
    }
    return 0;
}

void TCustomhTrayIcon::runCallback(TrayCallbackCode code) {
    const QPoint position = service_->cursorPosition();
    const TShiftState keys = shiftOf(service_->keyboardModifiers());
    const int x = position.x();
    const int y = position.y();
    const bool ownPopupMenu = !popupMenu_.isNull() && !popupMenuExported_;
    const TrayCallbackContext context{leftPopup_, ownPopupMenu, bool(OnClick), restoreDBClick_};
    const QPointer<TCustomhTrayIcon> alive(this);
    for (const TrayStepCall& call : rules_.stepsFor(code, context)) {
        // A handler may have closed the window that owns this component.
        if (!alive) return;
        const TShiftState pressed = keys | shiftFlagOf(call.button);
        switch (call.step) {
            case TrayStep::RaiseMouseMove:
                if (OnMouseMove) OnMouseMove(this, keys, x, y);
                break;
            case TrayStep::RaiseMouseDown:
                if (OnMouseDown) OnMouseDown(this, call.button, pressed, x, y);
                break;
            case TrayStep::RaiseMouseUp:
                if (OnMouseUp) OnMouseUp(this, call.button, pressed, x, y);
                break;
            case TrayStep::RaiseClick:
                if (OnClick) OnClick(this);
                break;
            case TrayStep::RaiseDblClick:
                if (OnDblClick) OnDblClick(this);
                break;
            case TrayStep::RestoreMainWindow:
                RestoreMainWindow();
                break;
            case TrayStep::ShowPopupMenu:
                showPopupMenu(position);
                break;
            case TrayStep::ClearBalloonRequest:
                record_.clearBalloon();
                break;
            case TrayStep::RaiseBalloonHintShow:
                if (OnBalloonHintShow) OnBalloonHintShow(this);
                break;
            case TrayStep::RaiseBalloonHintHide:
                if (OnBalloonHintHide) OnBalloonHintHide(this);
                break;
            case TrayStep::RaiseBalloonHintTimeout:
                if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
                break;
            case TrayStep::RaiseBalloonHintClick:
                if (OnBalloonHintClick) OnBalloonHintClick(this);
                break;
        }
    }
}

void TCustomhTrayIcon::setPopupMenu(QMenu* value) {
    popupMenu_ = value;
    popupMenuExported_ = service_->exportMenu(value);
}

void TCustomhTrayIcon::showPopupMenu(const QPoint& position) {
    if (popupMenu_) popupMenu_->popup(position);
}

// --- the main window -----------------------------------------------------------------------

// Every top-level window carries its own taskbar entry, which goes with the window when it is
// hidden; there is no separate application window whose button would stay behind.
void TCustomhTrayIcon::HideTaskbarButton() {}

void TCustomhTrayIcon::HideMainWindow() {
    if (!ownerIsWindow() || !hasMainWindow()) return;
    mainWindow_->hide();
    HideTaskbarButton();
}

void TCustomhTrayIcon::RestoreMainWindow() {
    if (!ownerIsWindow() || !hasMainWindow()) return;
    if (mainWindow_->isMinimized())
        mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

void TCustomhTrayIcon::SendToTray() {
    HideMainWindow();
    setVisible(true);
}

void TCustomhTrayIcon::minimizeMainWindowToTray() {
    if (OnMinimizeToTray) {
        OnMinimizeToTray(this);
        // With a handler the minimize itself is called off: the window only goes to the tray.
        if (mainWindow_)
            mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    }
    SendToTray();
}

bool TCustomhTrayIcon::Loaded() {
    loading_ = false;
    bool showMainForm = true;
    if (ownerIsWindow()) {
        showMainForm = !startupToTray_;
        if (OnStartup) OnStartup(this, showMainForm);
        if (!showMainForm) HideMainWindow();
    }
    NotifyShell(NotifyOperation::Modify);
    return showMainForm;
}

bool TCustomhTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mainWindow_ && mainWindow_) {
        if (event->type() == QEvent::WindowStateChange) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            const bool newlyMinimized =
                !(change->oldState() & Qt::WindowMinimized) && mainWindow_->isMinimized();
            if (newlyMinimized && minimizeToTray_)
                reportingErrors([this] { minimizeMainWindowToTray(); });
        } else if (event->type() == QEvent::Move && firstPositionChange_) {
            firstPositionChange_ = false;
            if (isMultiDocumentFrame(mainWindow_)) {
                bool showMainForm = true;
                if (OnStartup) reportingErrors([&] { OnStartup(this, showMainForm); });
                if (!showMainForm) HideTaskbarButton();
            }
        }
    }
    if (watched == owner_ && owner_ && event->type() == QEvent::Show && !event->spontaneous()) {
        owner_->raise();
        owner_->activateWindow();
    }
    return false;
}

}  // namespace plumo
