#include "companion/screen_follower.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace plumo {

ScreenLayout currentScreenLayout() {
    ScreenLayout layout;
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : screens) {
        if (screen == primary) layout.primary = static_cast<int>(layout.screens.size());
        layout.screens.push_back({screen->geometry(), screen->availableGeometry()});
    }
    return layout;
}

ScreenFollower::ScreenFollower(QWidget* window) : QObject(window), window_(window) {
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    auto* application = qGuiApp;
    connect(application, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        schedule();
    });
    connect(application, &QGuiApplication::screenRemoved, this, &ScreenFollower::schedule);
    connect(application, &QGuiApplication::primaryScreenChanged, this, &ScreenFollower::schedule);
}

void ScreenFollower::watch(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &ScreenFollower::schedule);
    connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFollower::schedule);
}

void ScreenFollower::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &ScreenFollower::keepOnScreens, Qt::QueuedConnection);
}

void ScreenFollower::keepOnScreens() {
    scheduled_ = false;
    const QRect where = window_->frameGeometry();
    const QPoint kept = keptOnScreens(currentScreenLayout(), where);
    if (kept != where.topLeft()) window_->move(kept);
}

}  // namespace plumo
