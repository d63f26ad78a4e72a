#pragma once

// The companion window: the girl, her speech bubble and the command panel in a small
// borderless, always-on-top window that is see-through wherever the key colour shows.
//
// Short names. The window's children, menu items, timers and handlers keep the short names
// they have always had (N4, btnhide, rtimerTimer ...): captions, handlers and the state kept
// in captions are referred to by these names throughout the program and its notes, so a
// reader finds each one under the same name everywhere.
//
//   imggirl      the girl picture (current outfit); right button: pmenu2
//   imgChat      the bubble picture, or the command panel's background
//   lblinfo      the bubble text; a click: lblinfoClick
//   eyeclose     the blinking eyes over her face; right button: pmenu2
//   menu         the command panel (hidden until opened)
//   btnreminder  panel button "备忘录" / "关闭备忘录": start or close the memo program
//   btnmonth     panel button "万年历" / "关闭万年历": calendar toggle
//   btnhide      panel button "隐藏": hide/show toggle
//   btnset       panel button "设置": runs nset
//   pmenu        main menu, on the tray icon:
//     N4 "隐藏小秘书"/"显示小秘书" (toggle), N5 separator, N2 memo (as btnreminder),
//     N3 calendar (as btnmonth), N6 separator, nset "设置", nabout "关于", nexit "退出"
//   pmenu2       her picture's menu: N1 "换装" (outfit), N11 "隐藏" (toggle), N10 "指令" (panel)
//   pmanswer     answer menu: N13 "查看"/"关机", N12 "知道了"/"不再提醒", N14 "延迟一天",
//                N15 "稍后提醒" (shown with N14), a submenu: N16 "10 分钟", N17 "1 小时"
//   rtimer       the one-second tick (clock work: chime, due items, late-night advice)
//   toptimer     runs exactly while she is shown; keeps her window on top
//   quittimer    the goodbye's two-second countdown
//   watchTimer   watches the memo program while it runs
//   mp1          the media player (sounds play in the plumo-sound process)
//   hicon        the tray icon, with pmenu as its menu
//   monFrm       the calendar window, made when the calendar toggle first needs it
//
// The work behind the handlers lives in parts with one job each: CompanionStartup (the
// start-up sequence, seeing the window as a StartupWindow), SkinSet (the pictures),
// OutfitChange (the outfit files), CompanionShape (the see-through shape), CompanionMenus
// (the menus). The deciding parts in companion/core (the tick, the answer actions, the
// memo launcher, the settings command) see only the CompanionState and this window as a
// CompanionView, under names that say what they do; the handlers here route to them.
//
// The window's code: girl_window.cpp (children, menus, timers, start-up and the routing
// to the deciding parts), girl_window_bubble.cpp (bubble, command panel, answer menu
// captions, calendar and About), girl_window_showing.cpp (hide and show, staying on top,
// the goodbye).

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "companion/companion_menus.h"
#include "companion/companion_services.h"
#include "companion/companion_startup.h"
#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "companion/core/full_screen_quiet.h"
#include "companion/core/second_beat.h"
#include "companion/skin_set.h"
#include "memo/memo_database.h"
#include "sound/player.h"
#include "tray/tray_icon.h"

namespace plumo {

class CompanionShape;
class CompanionTick;
class MemoAnswers;
class MemoLauncher;
class Picture;
class ProcessTable;
class ProgramLauncher;
class SettingsExchange;
class StoredRepeats;
class SystemShutdown;
class TXPMenu;
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

class Tgirlfrm : public QWidget, public CompanionView, private StartupWindow {
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
    void N1Click();        // change outfit
    void btnhideClick();   // hide/show toggle
    void toptimerTimer();  // keep the window on top while shown
    void nexitClick();     // goodbye
    void quittimerTimer();
    void showinfo();   // the bubble text in the small bubble
    void showinfo2();  // ... in the big bubble
    void showmenu();   // the command panel, bubble text cleared
    void N10Click();   // the command panel, bubble text kept
    void lblinfoClick();
    void N4Click();
    void N11Click();
    void hiconClick();
    void hiconDblClick();
    void btnmonthClick();  // calendar toggle
    void naboutClick();
    void btnreminderClick();  // start or close the memo program
    void watchTimerTimer();
    void rtimerTimer();  // the one-second tick
    void N13Click();     // answers: "查看" / "关机"
    void N12Click();     // "知道了" / "不再提醒"
    void N14Click();     // "延迟一天"
    void N16Click();     // "稍后提醒" / "10 分钟"
    void N17Click();     // "稍后提醒" / "1 小时"
    void nsetClick();    // the settings window
    void readconfig() override;

    // --- CompanionView ---
    QString bubbleText() const override;
    void setBubbleText(const QString& text) override;
    void showInfo() override { showinfo(); }
    void showCommandPanel() override { showmenu(); }
    bool isShown() const override { return keepingOnTop_; }
    void toggleShown() override { btnhideClick(); }
    QString memoCaption() const override;
    void setMemoCaptions(const QString& caption) override;
    QString answerCaption(AnswerItem item) const override;
    void setAnswerCaption(AnswerItem item, const QString& caption) override;
    bool answerVisible(AnswerItem item) const override;
    void setAnswerVisible(AnswerItem item, bool visible) override;

    // --- For the program and its tests ---
    CompanionState& state() override { return state_; }
    const SkinSet& skins() const { return skins_; }
    // The tray icon is up, the greeting sound has started and the start-up messages have
    // been shown: all wait for her first frame after a start-up that ended Running.
    bool startupComplete() const;
    // A notification area is there to hold her tray icon.
    bool trayPresent() const;
    bool goodbyeRunning() const { return quittimer.isActive(); }
    ThTrayIcon* trayIcon() const { return hicon; }
    TmonFrm* calendarWindow() const { return monFrm; }
    // Makes the calendar window, hidden, unless it is there already; the calendar toggle
    // makes it when first used.
    void createCalendarWindow();
    MemoDatabase* database() const { return database_.get(); }
    const Picture* girlPicture() const { return imggirl; }
    const Picture* bubblePicture() const { return imgChat; }
    const Picture* eyePicture() const { return eyeclose; }
    // The window's look composed onto the key colour, as it is painted.
    QImage composedLook() const;
    void updateShape();
    // Errors met while loading the skins, one line each, naming the file.
    const QStringList& skinErrors() const { return skins_.errors(); }

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
    // --- StartupWindow ---
    CompanionView& view() override { return *this; }
    const CompanionServices& services() const override { return services_; }
    MemoQuery& attachDatabase(std::unique_ptr<MemoDatabase> database) override;
    MemoRepeats& repeats() override;
    QStringList loadSkins() override;
    bool dockTrayIcon() override;

    // Shows the skins just read: outfit, bubble and eyes as they were, the shape redone.
    void showSkins();
    // On a screen with another device pixel ratio the pictures are read again when the
    // other ratio wants the other size (twice the size above 1, the files' own at 1).
    void followPixelRatio();

    void createChildren();
    // The menus with their look and connections, made when first needed: building and
    // styling them takes longer than drawing her, and her first frame needs none of them.
    CompanionMenus& menus() const;
    void buildMenus();
    void startDrag(Qt::MouseButton button);
    void setBubbleLook(QImage SkinSet::*picture);
    void setBubblePicture(const QImage& picture);
    void eyeFrameChanged();
    QString skinFolder() const { return state_.datapath + QStringLiteral("skin/"); }
    // Shows a message now, or after her first frame while start-up is still finishing.
    void tellUser(const QString& text, bool isError);
    QAction* answerAction(AnswerItem item) const;
    // The work of every second: the tick, and keeping her on top while she is shown (or
    // showing her once a full-screen window that kept her hidden is gone).
    void everySecond();

    CompanionServices services_;
    CompanionState state_;
    SkinSet skins_;
    qreal skinsRatio_ = 1.0;  // the device pixel ratio they were read for
    QImage SkinSet::*bubbleOnShow_ = &SkinSet::pngspop;  // the bubble or panel picture shown
    bool followingScreen_ = false;
    // Nothing raises her over another program's full-screen window: a bubble said while
    // one is up shows her (if hidden) once it is gone.
    FullScreenQuiet quiet_{services_.activeWindow};
    bool showWhenFree_ = false;

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
    // rtimer and toptimer beat together, in one wake-up a second (see SecondBeat);
    // toptimer runs exactly while she is shown.
    SecondBeat secondBeat_{[this] { everySecond(); }};
    bool keepingOnTop_ = false;
    QTimer quittimer;
    QTimer watchTimer;

    // --- Menus and members that are not drawn ---
    std::unique_ptr<CompanionMenus> menus_;
    ThTrayIcon* hicon;
    Player* mp1;
    TmonFrm* monFrm = nullptr;
    std::unique_ptr<MemoDatabase> database_;

    TXPMenu* XPMenu1 = nullptr;

    // The deciding parts, made once the memo database is open.
    std::unique_ptr<StoredRepeats> repeats_;
    std::unique_ptr<CompanionTick> tick_;
    std::unique_ptr<MemoLauncher> memoLauncher_;
    std::unique_ptr<MemoAnswers> answers_;
    std::unique_ptr<SettingsExchange> settingsExchange_;

    std::unique_ptr<CompanionStartup> startup_;
    CompanionShape* shape_;
    bool eyeShapeVaries_ = false;  // the eye frames differ in where they are see-through
};

}  // namespace plumo
