#pragma once

// The companion window: the girl, her speech bubble and the command panel in a small
// borderless, always-on-top window that is see-through wherever the key colour shows.

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "companion/picture.h"
#include "memo/memo_database.h"
#include "settings/autostart.h"
#include "sound/player.h"
#include "tray/tray_icon.h"

namespace plumo {

class ProgramLauncher;
class TmonFrm;

// A text label that reports a click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The services the companion uses from the desktop; tests hand in fakes.
struct CompanionServices {
    ProgramLauncher* launcher = nullptr;       // starts the sibling programs
    Player* player = nullptr;                  // the one media player (mp1)
    AutostartStore* autostart = nullptr;       // the per-user autostart entry
    std::function<bool()> anotherCopyRunning;  // the single-instance guard
    QString programFolder;                     // empty: the executable's folder
};

// How the start-up sequence ended.
enum class StartupResult {
    Running,         // the window is to be shown
    AnotherCopy,     // another copy runs: end silently
    DatabaseFailed,  // the memo database could not be opened: end
};

class Tgirlfrm : public QWidget {
    Q_OBJECT
public:
    explicit Tgirlfrm(CompanionServices services, QWidget* parent = nullptr);
    ~Tgirlfrm() override;

    // The start-up sequence. Anything but Running means the program ends without
    // showing its window.
    StartupResult FormCreate();
    // Shows the window centred on the work area of the primary screen.
    void showCentred();

    // --- Handlers, one per action ---
    bool chkstatus();  // true: this is the only copy
    void loadSkins();
    void N1Click();        // change outfit
    void btnhideClick();   // hide/show toggle
    void toptimerTimer();  // keep the window active while shown
    void nexitClick();     // goodbye
    void quittimerTimer();
    void showinfo();   // the bubble text in the small bubble
    void showinfo2();  // ... in the big bubble
    void showmenu();   // the command panel, bubble text cleared
    void N10Click();   // the command panel, bubble text kept
    void lblinfoClick();
    void N4Click() { btnhide->click(); }
    void N11Click() { btnhide->click(); }
    void hiconClick() { N4->trigger(); }
    void hiconDblClick() { N4->trigger(); }
    void btnmonthClick();  // calendar toggle
    void naboutClick();
    void readconfig();
    void saveconfig();

    bool isShown() const { return toptimer.isActive(); }
    // The tray icon is up and the greeting sound has started: both wait for her first
    // frame after a start-up that ended Running.
    bool startupComplete() const { return !trayIconPending_ && !startupSoundPending_; }
    QString bubbleText() const { return lblinfo->text(); }
    void setBubbleText(const QString& text) { lblinfo->setText(text); }

    // The window's look composed onto the key colour, as it is painted.
    QImage composedLook() const;
    void updateShape();

    // Errors met while loading the skins, one line each, naming the file.
    const QStringList& skinErrors() const { return skinErrors_; }

    // --- Children, bottom to top ---
    Picture* imggirl;
    Picture* imgChat;
    ClickLabel* lblinfo;
    Picture* eyeclose;
    QWidget* menu;
    QPushButton* btnreminder;
    QPushButton* btnmonth;
    QPushButton* btnhide;
    QPushButton* btnset;

    // --- Timers ---
    QTimer rtimer;
    QTimer toptimer;
    QTimer quittimer;
    QTimer watchTimer;

    // --- Pop-up menus ---
    QMenu* pmenu;
    QAction* N4;
    QAction* N5;
    QAction* N2;
    QAction* N3;
    QAction* N6;
    QAction* nset;
    QAction* nabout;
    QAction* nexit;
    QMenu* pmenu2;
    QAction* N1;
    QAction* N11;
    QAction* N10;
    QMenu* pmanswer;
    ThTrayIcon* hicon;
    Player* mp1;
    // The memo database, open for the whole run (connection and its one query).
    std::unique_ptr<MemoDatabase> database;
    TmonFrm* monFrm = nullptr;
    QAction* N13;
    QAction* N12;
    QAction* N14;

    // --- Companion state ---
    QString apppath;  // program folder, ends with '/'
    int skinno = 1;
    bool answering = false;
    int quitcount = 3;
    QString quitaction;
    int nightcount = 0;
    int reminderid = 0;
    bool overduechecked = false;
    int plancount = 0;
    int overduecount = 0;
    QString timeset;
    QString soundset;
    QString autoset;
    QImage pngg1, pngg2, pngspop, pngbpop, pngmenu;

signals:
    // The shape may have changed; emitted after the mask is brought up to date.
    void shapeChanged();

public:
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createChildren();
    void createMenus();
    void startDrag(Qt::MouseButton button);
    void setBubbleLook(const QImage& picture);
    void scheduleShapeUpdate();
    QString skinPath(const QString& name) const { return apppath + QStringLiteral("skin/") + name; }
    void startSibling();
    void setUpTrayIcon();
    // The start-up steps that wait for her first frame, or for a start-up message.
    void finishStartup();

    CompanionServices services_;
    bool trayIconPending_ = false;
    bool startupSoundPending_ = false;
    QStringList skinErrors_;
    bool shapeUpdatePending_ = false;
    QImage lastShape_;
};

}  // namespace plumo
