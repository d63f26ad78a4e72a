#include "tray/system_tray_service.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>
#include <QStyle>

namespace plumo {
namespace {

// How long start-up waits at most for the session bus to answer whether a tray host runs.
constexpr int kHostAnswerWaitMs = 2000;

// Where QSystemTrayIcon puts an icon, which it decides once, when the first one is made: on
// X11 into a StatusNotifierItem host when the session bus has a watcher with a host, else by
// XEmbed; on Wayland always on D-Bus; on other platforms (offscreen) nowhere.
bool trayIconGoesOnDBus() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) return true;
    if (platform != QLatin1String("xcb")) return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage question = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    question << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    question.setAutoStartService(false);  // only a watcher that runs now counts
    const QDBusMessage answer = bus.call(question, QDBus::Block, kHostAnswerWaitMs);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) return false;
    return answer.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

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

// Asked right after the icon is made, as QSystemTrayIcon asks.
SystemTrayService::SystemTrayService() : onDBus_(trayIconGoesOnDBus()) { connectSignals(); }

SystemTrayService::SystemTrayService(bool onDBus) : onDBus_(onDBus) { connectSignals(); }

void SystemTrayService::connectSignals() {
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

bool SystemTrayService::exportMenu(QMenu* menu) {
    if (!onDBus_) return false;
    if (!exportedMenu_) {
        // Made and handed over once; what changes later are the items within it.
        exportedMenu_ = std::make_unique<QMenu>();
        trayIcon_.setContextMenu(exportedMenu_.get());
    }
    for (QAction* item : exportedMenu_->actions()) exportedMenu_->removeAction(item);
    if (menu == nullptr) return false;
    // The same actions: a caption or enabled state changed on one shows in the other.
    exportedMenu_->addActions(menu->actions());
    return true;
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
