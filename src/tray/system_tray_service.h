#pragma once

// The notification-area service on the desktop, through QSystemTrayIcon (StatusNotifierItem,
// or XEmbed where no watcher runs).
//
// QSystemTrayIcon reports whole activations; each becomes the callback codes it stands for
// (callbackCodesFor). It has no balloon notifications of its own, so this service reports a
// balloon as shown when it shows one, as timed out when its time-out has passed unclicked, and
// as hidden when the icon is deleted while one is up. It cannot report mouse moves, right or
// middle double-clicks, or a restart of the tray host (QSystemTrayIcon docks a shown icon again
// by itself).

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include "tray/notification_area.h"

namespace plumo {

class SystemTrayService final : public QObject, public NotificationAreaService {
    Q_OBJECT
public:
    SystemTrayService();
    ~SystemTrayService() override;

    bool notify(NotifyOperation operation, const NotifyIconRecord& record,
                const QIcon& icon) override;
    void setMessageSink(MessageSink sink) override { sink_ = std::move(sink); }
    QPoint cursorPosition() const override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    // The wrapped icon, for checks of what reached the desktop.
    QSystemTrayIcon& systemTrayIcon() { return trayIcon_; }
    bool balloonOnScreen() const { return balloonOnScreen_; }

private:
    void apply(const NotifyIconRecord& record, const QIcon& icon);
    void showBalloonIfRequested(const NotifyIconRecord& record);
    void deliver(TrayCallbackCode code);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onMessageClicked();
    void onBalloonTimeout();

    QSystemTrayIcon trayIcon_;
    QTimer balloonTimer_;
    MessageSink sink_;
    bool added_ = false;
    bool balloonOnScreen_ = false;
    NotifyIconRecord balloonShown_;
};

}  // namespace plumo
