#include "tray/notification_area.h"

#include "tray/system_tray_service.h"

namespace plumo {
namespace {

NotificationAreaFactory& installedFactory() {
    static NotificationAreaFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<NotificationAreaService> makeNotificationAreaService() {
    if (installedFactory()) return installedFactory()();
    return std::make_unique<SystemTrayService>();
}

NotificationAreaFactory setNotificationAreaFactory(NotificationAreaFactory factory) {
    NotificationAreaFactory previous = std::move(installedFactory());
    installedFactory() = std::move(factory);
    return previous;
}

}  // namespace plumo
