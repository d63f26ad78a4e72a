#include "fake_notification_area.h"

namespace plumo::test {

class FakeNotificationAreaService final : public NotificationAreaService {
public:
    explicit FakeNotificationAreaService(FakeNotificationArea& area) : area_(area) {}

    bool notify(NotifyOperation operation, const NotifyIconRecord& record,
                const QIcon& icon) override {
        return area_.notify(operation, record, icon);
    }
    void setMessageSink(MessageSink sink) override { area_.sink_ = std::move(sink); }
    QPoint cursorPosition() const override { return area_.cursor; }
    Qt::KeyboardModifiers keyboardModifiers() const override { return area_.modifiers; }
    bool available() const override { return !area_.failAdd; }
    bool exportMenu(QMenu* menu) override {
        if (!area_.drawsMenus) return false;
        area_.exportedMenu = menu;
        return menu != nullptr;
    }

private:
    FakeNotificationArea& area_;
};

std::unique_ptr<NotificationAreaService> FakeNotificationArea::service() {
    return std::make_unique<FakeNotificationAreaService>(*this);
}

bool FakeNotificationArea::notify(NotifyOperation operation, const NotifyIconRecord& record,
                                  const QIcon& icon) {
    bool succeeded = false;
    switch (operation) {
        case NotifyOperation::Add:
            succeeded = !failAdd && !present_;
            if (succeeded) present_ = true;
            break;
        case NotifyOperation::Modify:
            succeeded = !failModify && present_;
            break;
        case NotifyOperation::Delete:
            succeeded = !failDelete && present_;
            if (succeeded) present_ = false;
            break;
    }
    if (succeeded && operation != NotifyOperation::Delete) {
        shown_ = record;
        shownIcon_ = icon;
    }
    requests.push_back({operation, record, succeeded});
    return succeeded;
}

void FakeNotificationArea::activate(TrayActivation activation) {
    for (TrayCallbackCode code : callbackCodesFor(activation)) sendCode(code);
}

void FakeNotificationArea::sendCode(TrayCallbackCode code) { send(TrayMessage::callback(code)); }

long FakeNotificationArea::send(const TrayMessage& message) { return sink_ ? sink_(message) : 0; }

void FakeNotificationArea::restartHost() {
    present_ = false;
    send(TrayMessage::of(TrayMessage::Kind::HostRestarted));
}

int FakeNotificationArea::count(NotifyOperation operation) const {
    int n = 0;
    for (const Request& request : requests)
        if (request.operation == operation) ++n;
    return n;
}

InstalledFakeNotificationArea::InstalledFakeNotificationArea()
    : previous_(setNotificationAreaFactory([this] { return service(); })) {}

InstalledFakeNotificationArea::~InstalledFakeNotificationArea() {
    setNotificationAreaFactory(std::move(previous_));
}

}  // namespace plumo::test
