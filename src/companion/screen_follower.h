#pragma once

// Keeps her window on the screens as they come, go and change size, by the rules of
// companion/core/screen_placement.h. It acts on Qt's reports of screens added and removed,
// a new primary screen and a screen's changed size, once the change has settled: a removed
// screen's windows are handed to another screen only after the report.

#include <QObject>

#include "companion/core/screen_placement.h"

class QScreen;
class QWidget;

namespace plumo {

// The screens as Qt lists them now.
ScreenLayout currentScreenLayout();

class ScreenFollower : public QObject {
    Q_OBJECT
public:
    explicit ScreenFollower(QWidget* window);

private:
    void watch(QScreen* screen);
    void schedule();
    void keepOnScreens();

    QWidget* window_;
    bool scheduled_ = false;
};

}  // namespace plumo
