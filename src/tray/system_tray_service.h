#pragma once

// The notification-area service on the desktop, through QSystemTrayIcon (StatusNotifierItem,
// or XEmbed where no watcher runs).
//
// A StatusNotifierItem host draws the icon's menu itself from the items it is given over
// D-Bus, so there the menu is exported; an XEmbed tray gets none, since QSystemTrayIcon would
// pop a context menu up on the press, before the tray component's own on the release.
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

#include <memory>

#include "tray/notification_area.h"

namespace plumo {

class SystemTrayService final : public QObject, public NotificationAreaService {
    Q_OBJECT
public:
    SystemTrayService();
    // Told whether the icon sits in a D-Bus host instead of asking the session bus.
    explicit SystemTrayService(bool onDBus);
    ~SystemTrayService() override;

    bool notify(NotifyOperation operation, const NotifyIconRecord& record,
                const QIcon& icon) override;
    void setMessageSink(MessageSink sink) override { sink_ = std::move(sink); }
    QPoint cursorPosition() const override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    bool exportMenu(QMenu* menu) override;

    // The wrapped icon, for checks of what reached the desktop.
    QSystemTrayIcon& systemTrayIcon() { return trayIcon_; }
    bool balloonOnScreen() const { return balloonOnScreen_; }
    bool onDBus() const { return onDBus_; }

private:
    void connectSignals();
    void apply(const NotifyIconRecord& record, const QIcon& icon);
    void showBalloonIfRequested(const NotifyIconRecord& record);
    void deliver(TrayCallbackCode code);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onMessageClicked();
    void onBalloonTimeout();

    // The exported menu: the items of the menu handed over, in a menu of their own, so that the
    // one handed over keeps its own look. It outlives the icon, which holds on to it.
    std::unique_ptr<QMenu> exportedMenu_;
    QSystemTrayIcon trayIcon_;
    bool onDBus_;
    QTimer balloonTimer_;
    MessageSink sink_;
    bool added_ = false;
    bool balloonOnScreen_ = false;
    NotifyIconRecord balloonShown_;
};

}  // namespace plumo
