#pragma once

// The notification-area service seen by the tray component: add, modify and delete one icon
// described by a record, and the messages that come back. The product implementation is
// SystemTrayService; tests install a recording fake.

#include <QIcon>
#include <QPoint>

#include <functional>
#include <memory>

#include "tray/notify_icon_record.h"
#include "tray/tray_callback.h"

class QMenu;

namespace plumo {

class NotificationAreaService {
public:
    // Receives the service's messages; the return value answers a query (1 = yes).
    using MessageSink = std::function<long(const TrayMessage&)>;

    virtual ~NotificationAreaService() = default;

    // One request; true when the service carried it out. `icon` is the image the record's
    // iconKey names.
    virtual bool notify(NotifyOperation operation, const NotifyIconRecord& record,
                        const QIcon& icon) = 0;
    virtual void setMessageSink(MessageSink sink) = 0;

    // Pointer position in screen coordinates and modifier keys, read at the time of a message.
    virtual QPoint cursorPosition() const = 0;
    virtual Qt::KeyboardModifiers keyboardModifiers() const = 0;

    // Whether a notification area is there now to hold an icon (a tray may come and go).
    virtual bool available() const = 0;

    // Hands `menu` to a tray host that draws the icon's menu itself (one on D-Bus): it shows the
    // menu's items and follows their captions and enabled states as they change; with nullptr
    // it shows none. Returns whether the host has the menu; where it has not, the tray
    // component pops the menu up itself.
    virtual bool exportMenu(QMenu* menu) {
        (void)menu;
        return false;
    }
};

using NotificationAreaFactory = std::function<std::unique_ptr<NotificationAreaService>()>;

// A new service from the installed factory; without one, a SystemTrayService.
std::unique_ptr<NotificationAreaService> makeNotificationAreaService();
// Installs the factory that tray icons created without a service use; returns the previous one.
// An empty factory restores the product service.
NotificationAreaFactory setNotificationAreaFactory(NotificationAreaFactory factory);

}  // namespace plumo
