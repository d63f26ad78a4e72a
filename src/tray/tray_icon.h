#pragma once

// The tray icon component: one icon in the desktop's notification area with tooltip, balloon,
// animation frames, mouse events and a popup menu, and the hiding of the main window into the
// tray and its return.
//
// Events are std::function members; each is raised only when set. Handlers get the component
// as sender. Errors thrown by a handler run from a tray message, the animation timer or the
// main window's minimize are shown in the error message box and the program goes on.

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <stdexcept>

#include "tray/notification_area.h"
#include "tray/notify_icon_record.h"
#include "tray/tray_callback.h"

namespace plumo {

// Raised when the icon cannot be put into or taken out of the notification area; the text is
// "STrayIconCreateError" or "STrayIconRemoveError".
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The frames of an animated tray icon.
class TrayImageList : public QObject {
    Q_OBJECT
public:
    explicit TrayImageList(QObject* parent = nullptr) : QObject(parent) {}
    void add(const QIcon& image) { images_.append(image); }
    void clear() { images_.clear(); }
    int count() const { return static_cast<int>(images_.size()); }
    QIcon image(int index) const { return images_.value(index); }

private:
    QList<QIcon> images_;
};

using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseMoveEvent = std::function<void(QObject* sender, TShiftState shift, int x, int y)>;
using TMouseEvent =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TStartupEvent = std::function<void(QObject* sender, bool& showMainForm)>;

class TCustomhTrayIcon : public QObject {
    Q_OBJECT
public:
    // `owner` also owns the component; when it is a widget, its top-level window is the main
    // window that HideMainWindow and RestoreMainWindow act on. Without a service the one from
    // makeNotificationAreaService() is used.
    explicit TCustomhTrayIcon(QObject* owner,
                              std::unique_ptr<NotificationAreaService> service = nullptr);
    ~TCustomhTrayIcon() override;

    bool Animate() const { return animate_; }
    void setAnimate(bool value);
    unsigned AnimateInterval() const { return static_cast<unsigned>(animationTimer_.interval()); }
    void setAnimateInterval(unsigned milliseconds);
    QString Hint() const { return hint_; }
    void setHint(const QString& value);
    bool RestoreDBClick() const { return restoreDBClick_; }
    void setRestoreDBClick(bool value) { restoreDBClick_ = value; }
    QString BalloonHint() const { return balloonHint_; }
    void setBalloonHint(const QString& value);
    QString BalloonTitle() const { return balloonTitle_; }
    void setBalloonTitle(const QString& value);
    int BalloonTimeout() const { return record_.balloonTimeout; }
    void setBalloonTimeout(int milliseconds) { record_.balloonTimeout = milliseconds; }
    TBalloonFlags BalloonFlags() const { return balloonFlags_; }
    void setBalloonFlags(TBalloonFlags value) { balloonFlags_ = value; }
    QIcon Icon() const { return icon_; }
    void setIcon(const QIcon& value);
    TrayImageList* Icons() const { return icons_; }
    void setIcons(TrayImageList* value);
    int IconIndex() const { return iconIndex_; }
    void setIconIndex(int value) { ApplyIconIndex(value); }
    QMenu* PopupMenu() const { return popupMenu_; }
    // Where the tray host draws the icon's menu itself, it is handed the menu's items and the
    // component pops none up.
    void setPopupMenu(QMenu* value);
    // Whether the tray host shows PopupMenu's items itself.
    bool PopupMenuExported() const { return popupMenuExported_; }
    bool LeftPopup() const { return leftPopup_; }
    void setLeftPopup(bool value) { leftPopup_ = value; }
    bool MinimizeToTray() const { return minimizeToTray_; }
    void setMinimizeToTray(bool value) { minimizeToTray_ = value; }
    bool StartupToTray() const { return startupToTray_; }
    void setStartupToTray(bool value) { startupToTray_ = value; }
    bool Visible() const { return visible_; }
    // Throws EOutOfResources when the add or delete fails; the new value is kept even then.
    void setVisible(bool value) { ApplyVisible(value); }

    // Whether the desktop has a notification area for the icon now.
    bool AreaAvailable() const { return service_->available(); }

    QWidget* mainWindow() const { return mainWindow_; }
    void setMainWindow(QWidget* window);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseDown;
    TNotifyEvent OnMouseEnter;  // kept for completeness; the desktop reports no hovering
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnAnimate;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;

    // Shows BalloonTitle and BalloonHint with the BalloonFlags icon for BalloonTimeout ms;
    // returns whether the service took the request.
    virtual bool ShowBalloon();
    // Hide and show the main window (only when the owner is a widget).
    void HideMainWindow();
    void RestoreMainWindow();
    // HideMainWindow, then Visible := true.
    virtual void SendToTray();

    // Loading phase: between BeginLoading() and Loaded() the owner is still setting the
    // component up, and making it invisible sends no delete. Loaded() applies StartupToTray
    // and OnStartup and returns whether the main window is to be shown at start.
    void BeginLoading() { loading_ = true; }
    bool IsLoading() const { return loading_; }
    bool Loaded();

    // State for status display and checks.
    const NotifyIconRecord& record() const { return record_; }
    QIcon displayedIcon() const { return displayedIcon_; }
    bool clickArmed() const { return rules_.clickArmed(); }
    bool animationTimerActive() const { return animationTimer_.isActive(); }

protected:
    virtual void ApplyVisible(bool value);
    virtual void ApplyIconIndex(int value);
    // A message from the service or the session; returns the answer to a query.
    virtual long HandleTrayMessage(const TrayMessage& message);
    virtual void AnimateTick();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateIcon();
    bool NotifyShell(NotifyOperation operation);
    void ResetIcon();
    void resetDisplayedIcon();
    void HideTaskbarButton();
    void loadFrame();
    void runCallback(TrayCallbackCode code);
    void showPopupMenu(const QPoint& position);
    void minimizeMainWindowToTray();
    void watchWindows();
    bool ownerIsWindow() const { return !owner_.isNull(); }
    bool hasMainWindow() const { return !mainWindow_.isNull(); }

    std::unique_ptr<NotificationAreaService> service_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> mainWindow_;
    QTimer animationTimer_;
    NotifyIconRecord record_;
    TrayCallbackRules rules_;

    bool animate_ = false;
    QString hint_;
    bool restoreDBClick_ = true;
    QString balloonHint_;
    QString balloonTitle_;
    TBalloonFlags balloonFlags_ = TBalloonFlags::bfNone;
    QIcon icon_;
    QIcon displayedIcon_;
    QPointer<TrayImageList> icons_;
    int iconIndex_ = 0;
    QPointer<QMenu> popupMenu_;
    bool popupMenuExported_ = false;
    bool leftPopup_ = false;
    bool minimizeToTray_ = false;
    bool startupToTray_ = false;
    bool visible_ = false;
    bool loading_ = false;
    bool inArea_ = false;  // the last add succeeded and no delete has followed
    bool firstPositionChange_ = true;
};

// The component as a window sets it up: the same, with its settings as Qt properties.
class ThTrayIcon : public TCustomhTrayIcon {
    Q_OBJECT
    Q_PROPERTY(bool Animate READ Animate WRITE setAnimate)
    Q_PROPERTY(unsigned AnimateInterval READ AnimateInterval WRITE setAnimateInterval)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool RestoreDBClick READ RestoreDBClick WRITE setRestoreDBClick)
    Q_PROPERTY(QString BalloonHint READ BalloonHint WRITE setBalloonHint)
    Q_PROPERTY(QString BalloonTitle READ BalloonTitle WRITE setBalloonTitle)
    Q_PROPERTY(int BalloonTimeout READ BalloonTimeout WRITE setBalloonTimeout)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(plumo::TrayImageList* Icons READ Icons WRITE setIcons)
    Q_PROPERTY(int IconIndex READ IconIndex WRITE setIconIndex)
    Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE setPopupMenu)
    Q_PROPERTY(bool LeftPopup READ LeftPopup WRITE setLeftPopup)
    Q_PROPERTY(bool MinimizeToTray READ MinimizeToTray WRITE setMinimizeToTray)
    Q_PROPERTY(bool StartupToTray READ StartupToTray WRITE setStartupToTray)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
public:
    using TCustomhTrayIcon::TCustomhTrayIcon;
};

}  // namespace plumo
