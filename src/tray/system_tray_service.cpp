#include "tray/system_tray_service.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>

namespace plumo {
namespace {

QSystemTrayIcon::MessageIcon messageIconOf(TBalloonFlags kind) {
    switch (kind) {
        case TBalloonFlags::bfNone:
            return QSystemTrayIcon::NoIcon;
        case TBalloonFlags::bfInfo:
            return QSystemTrayIcon::Information;
        case TBalloonFlags::bfWarning:
            return QSystemTrayIcon::Warning;
        case TBalloonFlags::bfError:
            return QSystemTrayIcon::Critical;
    }
    return QSystemTrayIcon::NoIcon;
}

bool sameBalloon(const NotifyIconRecord& a, const NotifyIconRecord& b) {
    return a.balloonTitle == b.balloonTitle && a.balloonText == b.balloonText &&
           a.balloonKind == b.balloonKind;
}

// QSystemTrayIcon shows nothing without an image; a program without an icon of its own still
// gets a visible tray entry.
QIcon iconOrFallback(const QIcon& icon) {
    if (!icon.isNull()) return icon;
    if (QApplication::style() != nullptr)
        return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    return icon;
}

}  // namespace

SystemTrayService::SystemTrayService() {
    balloonTimer_.setSingleShot(true);
    connect(&balloonTimer_, &QTimer::timeout, this, &SystemTrayService::onBalloonTimeout);
    connect(&trayIcon_, &QSystemTrayIcon::activated, this, &SystemTrayService::onActivated);
    connect(&trayIcon_, &QSystemTrayIcon::messageClicked, this,
            &SystemTrayService::onMessageClicked);
}

SystemTrayService::~SystemTrayService() = default;

bool SystemTrayService::notify(NotifyOperation operation, const NotifyIconRecord& record,
                               const QIcon& icon) {
    switch (operation) {
        case NotifyOperation::Add:
            if (added_) return false;
            apply(record, icon);
            trayIcon_.show();
            added_ = true;
            showBalloonIfRequested(record);
            // Without a tray host the icon stays registered and docks when one appears, but
            // the request itself has not put it anywhere.
            return QSystemTrayIcon::isSystemTrayAvailable();
        case NotifyOperation::Modify:
            if (!added_) return false;
            apply(record, icon);
            showBalloonIfRequested(record);
            return true;
        case NotifyOperation::Delete:
            if (!added_) return false;
            trayIcon_.hide();
            added_ = false;
            if (balloonOnScreen_) {
                balloonOnScreen_ = false;
                balloonTimer_.stop();
                QMetaObject::invokeMethod(
                    this, [this] { deliver(TrayCallbackCode::BalloonHidden); },
                    Qt::QueuedConnection);
            }
            return true;
    }
    return false;
}

QPoint SystemTrayService::cursorPosition() const { return QCursor::pos(); }

Qt::KeyboardModifiers SystemTrayService::keyboardModifiers() const {
    return QGuiApplication::queryKeyboardModifiers();
}

void SystemTrayService::apply(const NotifyIconRecord& record, const QIcon& icon) {
    trayIcon_.setIcon(iconOrFallback(icon));
    trayIcon_.setToolTip(record.has(nifTip) ? record.tip : QString());
}

void SystemTrayService::showBalloonIfRequested(const NotifyIconRecord& record) {
    if (!record.has(nifInfo) || record.balloonText.isEmpty()) return;
    if (balloonOnScreen_ && sameBalloon(record, balloonShown_)) return;
    trayIcon_.showMessage(record.balloonTitle, record.balloonText,
                          messageIconOf(record.balloonKind), record.balloonTimeout);
    balloonOnScreen_ = true;
    balloonShown_ = record;
    if (record.balloonTimeout > 0)
        balloonTimer_.start(record.balloonTimeout);
    else
        balloonTimer_.stop();
    // Reported once the request that showed it has returned, as the desktop would.
    QMetaObject::invokeMethod(
        this, [this] { deliver(TrayCallbackCode::BalloonShown); }, Qt::QueuedConnection);
}

void SystemTrayService::deliver(TrayCallbackCode code) {
    if (sink_) sink_(TrayMessage::callback(code));
}

void SystemTrayService::onActivated(QSystemTrayIcon::ActivationReason reason) {
    TrayActivation activation;
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            activation = TrayActivation::Click;
            break;
        case QSystemTrayIcon::DoubleClick:
            activation = TrayActivation::DoubleClick;
            break;
        case QSystemTrayIcon::Context:
            activation = TrayActivation::ContextRequest;
            break;
        case QSystemTrayIcon::MiddleClick:
            activation = TrayActivation::MiddleClick;
            break;
        default:
            return;
    }
    for (TrayCallbackCode code : callbackCodesFor(activation)) deliver(code);
}

void SystemTrayService::onMessageClicked() {
    balloonOnScreen_ = false;
    balloonTimer_.stop();
    deliver(TrayCallbackCode::BalloonClicked);
}

void SystemTrayService::onBalloonTimeout() {
    if (!balloonOnScreen_) return;
    balloonOnScreen_ = false;
    deliver(TrayCallbackCode::BalloonTimedOut);
}

}  // namespace plumo
