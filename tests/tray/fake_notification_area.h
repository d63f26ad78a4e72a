#pragma once

// A notification area for tests: records every add, modify and delete the tray component
// sends, keeps whether the icon is present, fails requests on demand, and delivers mouse,
// balloon and session messages as the desktop would; it may stand for a host that draws the
// icon's menu itself.

#include <QPoint>

#include <memory>
#include <vector>

#include "tray/notification_area.h"

namespace plumo::test {

class FakeNotificationArea {
public:
    struct Request {
        NotifyOperation operation;
        NotifyIconRecord record;
        bool succeeded;
    };

    FakeNotificationArea() = default;
    FakeNotificationArea(const FakeNotificationArea&) = delete;
    FakeNotificationArea& operator=(const FakeNotificationArea&) = delete;
    virtual ~FakeNotificationArea() = default;

    // A service that reports to this area; hand it to one tray component. The area must
    // outlive the component.
    std::unique_ptr<NotificationAreaService> service();

    // Driving the component.
    void activate(TrayActivation activation);  // the codes the activation stands for
    void sendCode(TrayCallbackCode code);
    long send(const TrayMessage& message);
    void restartHost();  // the icon is gone, then the restart is reported

    // What reached the area.
    std::vector<Request> requests;
    int count(NotifyOperation operation) const;
    const Request& last() const { return requests.back(); }
    bool iconPresent() const { return present_; }
    const NotifyIconRecord& shownRecord() const { return shown_; }
    const QIcon& shownIcon() const { return shownIcon_; }
    bool hasSink() const { return static_cast<bool>(sink_); }

    // Settings.
    bool failAdd = false;  // also: no notification area is there
    bool failModify = false;
    bool failDelete = false;
    QPoint cursor{0, 0};
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool drawsMenus = false;        // a host that draws the icon's menu itself (D-Bus)
    QMenu* exportedMenu = nullptr;  // the menu handed to such a host

private:
    friend class FakeNotificationAreaService;
    bool notify(NotifyOperation operation, const NotifyIconRecord& record, const QIcon& icon);

    NotificationAreaService::MessageSink sink_;
    bool present_ = false;
    NotifyIconRecord shown_;
    QIcon shownIcon_;
};

// A fake area that every tray icon created without its own service uses, for its lifetime.
class InstalledFakeNotificationArea final : public FakeNotificationArea {
public:
    InstalledFakeNotificationArea();
    ~InstalledFakeNotificationArea() override;

private:
    NotificationAreaFactory previous_;
};

}  // namespace plumo::test
