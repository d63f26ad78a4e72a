#include "tray/tray_icon.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "fake_notification_area.h"
#include "support/recording_message_boxes.h"

namespace plumo {
namespace {

using test::FakeNotificationArea;
using Op = NotifyOperation;

QIcon solidIcon(Qt::GlobalColor color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Opens the protected operations that the desktop and the timer drive.
class TestTrayIcon : public ThTrayIcon {
public:
    using TCustomhTrayIcon::AnimateTick;
    using ThTrayIcon::ThTrayIcon;
};

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousIcon_ = QApplication::windowIcon();
        previousTitle_ = QGuiApplication::applicationDisplayName();
        QApplication::setWindowIcon(appIcon);
        QGuiApplication::setApplicationDisplayName(kTitle);
        window.resize(120, 80);
    }
    void TearDown() override {
        QApplication::setWindowIcon(previousIcon_);
        QGuiApplication::setApplicationDisplayName(previousTitle_);
    }

    std::unique_ptr<TestTrayIcon> makeIcon() {
        return std::make_unique<TestTrayIcon>(&window, area.service());
    }
    std::vector<FakeNotificationArea::Request> modifies() const {
        std::vector<FakeNotificationArea::Request> result;
        for (const auto& request : area.requests)
            if (request.operation == Op::Modify) result.push_back(request);
        return result;
    }

    const QString kTitle = QStringLiteral("应用标题");
    QIcon appIcon = solidIcon(Qt::red);
    FakeNotificationArea area;
    QWidget window;

private:
    QIcon previousIcon_;
    QString previousTitle_;
};

// --- tooltip -------------------------------------------------------------------------------

TEST_F(TrayIconTest, ShowsTheApplicationTitleUntilAHintIsSet) {
    auto icon = makeIcon();
    EXPECT_TRUE(area.requests.empty());
    icon->setVisible(true);
    ASSERT_EQ(area.requests.size(), 1u);
    const auto& add = area.last();
    EXPECT_EQ(add.operation, Op::Add);
    EXPECT_TRUE(add.succeeded);
    EXPECT_EQ(add.record.flags, unsigned(nifMessage | nifIcon | nifTip));
    EXPECT_EQ(add.record.callbackMessage, kTrayCallbackMessage);
    EXPECT_EQ(add.record.tip, kTitle);

    // An empty text while Hint is still empty changes nothing.
    icon->setHint(QString());
    EXPECT_EQ(area.requests.size(), 1u);
    EXPECT_EQ(area.shownRecord().tip, kTitle);
}

TEST_F(TrayIconTest, HintTurnsTheTooltipFlagOnAndBackOff) {
    auto icon = makeIcon();
    icon->setVisible(true);
    icon->setHint(QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(area.last().operation, Op::Modify);
    EXPECT_TRUE(area.shownRecord().has(nifTip));
    EXPECT_EQ(area.shownRecord().tip, QStringLiteral("Plumo小秘书"));

    const size_t before = area.requests.size();
    icon->setHint(QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(area.requests.size(), before) << "an unchanged hint sends nothing";

    icon->setHint(QString());
    EXPECT_FALSE(area.shownRecord().has(nifTip));
    EXPECT_TRUE(area.shownRecord().tip.isEmpty());
    EXPECT_TRUE(area.shownRecord().has(nifIcon));
}

TEST_F(TrayIconTest, LongHintReachesTheAreaAsItsFirst127Units) {
    auto icon = makeIcon();
    const QString longHint = QStringLiteral("提示").repeated(100);
    icon->setHint(longHint);
    EXPECT_TRUE(area.requests.empty()) << "a hidden icon gets no modify";
    icon->setVisible(true);
    EXPECT_EQ(area.shownRecord().tip, longHint.left(127));
    EXPECT_EQ(icon->Hint(), longHint);
}

// --- balloon -------------------------------------------------------------------------------

TEST_F(TrayIconTest, BalloonTextsAreCutAndSentEvenWhileHidden) {
    auto icon = makeIcon();
    icon->setBalloonHint(QStringLiteral("内").repeated(300));
    icon->setBalloonTitle(QStringLiteral("t").repeated(100));
    ASSERT_EQ(area.requests.size(), 2u);
    EXPECT_EQ(area.requests[0].operation, Op::Modify);
    EXPECT_FALSE(area.requests[0].succeeded);
    EXPECT_EQ(area.last().record.balloonText, QStringLiteral("内").repeated(255));
    EXPECT_EQ(area.last().record.balloonTitle, QStringLiteral("t").repeated(63));

    icon->setBalloonTitle(QStringLiteral("t").repeated(100));
    EXPECT_EQ(area.requests.size(), 2u) << "an unchanged title sends nothing";
}

TEST_F(TrayIconTest, ShowBalloonRequestsItUntilTheAreaReportsItGone) {
    auto icon = makeIcon();
    EXPECT_FALSE(icon->ShowBalloon()) << "no icon, no balloon";

    icon->setVisible(true);
    icon->setBalloonTimeout(5000);
    icon->setBalloonFlags(TBalloonFlags::bfWarning);
    EXPECT_TRUE(icon->ShowBalloon());
    EXPECT_TRUE(area.shownRecord().has(nifInfo));
    EXPECT_EQ(area.shownRecord().balloonKind, TBalloonFlags::bfWarning);
    EXPECT_EQ(area.shownRecord().balloonTimeout, 5000);

    int shown = 0, timedOut = 0, hidden = 0, clicked = 0;
    icon->OnBalloonHintShow = [&](QObject*) { ++shown; };
    icon->OnBalloonHintTimeout = [&](QObject* sender) {
        EXPECT_EQ(sender, icon.get());
        EXPECT_FALSE(icon->record().has(nifInfo)) << "cleared before the event";
        ++timedOut;
    };
    icon->OnBalloonHintHide = [&](QObject*) { ++hidden; };
    icon->OnBalloonHintClick = [&](QObject*) { ++clicked; };

    area.sendCode(TrayCallbackCode::BalloonShown);
    EXPECT_TRUE(icon->record().has(nifInfo));
    icon->setHint(QStringLiteral("x"));
    EXPECT_TRUE(area.shownRecord().has(nifInfo)) << "still up while shown";

    area.sendCode(TrayCallbackCode::BalloonTimedOut);
    EXPECT_FALSE(icon->record().has(nifInfo));

    icon->ShowBalloon();
    area.sendCode(TrayCallbackCode::BalloonHidden);
    EXPECT_FALSE(icon->record().has(nifInfo));

    icon->ShowBalloon();
    area.activate(TrayActivation::BalloonClick);
    EXPECT_FALSE(icon->record().has(nifInfo));
    EXPECT_EQ((std::vector<int>{shown, timedOut, hidden, clicked}), (std::vector<int>{1, 1, 1, 1}));
}

// --- Visible -------------------------------------------------------------------------------

TEST_F(TrayIconTest, VisibleAddsAndDeletesTheIcon) {
    auto icon = makeIcon();
    icon->setVisible(true);
    icon->setVisible(true);
    EXPECT_TRUE(area.iconPresent());
    EXPECT_EQ(area.count(Op::Add), 1);
    icon->setVisible(false);
    icon->setVisible(false);
    EXPECT_FALSE(area.iconPresent());
    EXPECT_EQ(area.count(Op::Delete), 1);
    EXPECT_EQ(area.requests.size(), 2u);
}

TEST_F(TrayIconTest, FailedAddAndDeleteAreErrorsAfterTheValueChanged) {
    auto icon = makeIcon();
    area.failAdd = true;
    try {
        icon->setVisible(true);
        FAIL() << "no error";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "STrayIconCreateError");
    }
    EXPECT_TRUE(icon->Visible());

    // The icon never reached the area, so taking it away fails in turn.
    area.failAdd = false;
    EXPECT_THROW(icon->setVisible(false), EOutOfResources);
    EXPECT_FALSE(icon->Visible());
}

TEST_F(TrayIconTest, FailedDeleteIsARemoveError) {
    auto icon = makeIcon();
    icon->setVisible(true);
    area.failDelete = true;
    try {
        icon->setVisible(false);
        FAIL() << "no error";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "STrayIconRemoveError");
    }
    EXPECT_FALSE(icon->Visible());
}

TEST_F(TrayIconTest, HidingWhileLoadingSendsNoDeleteForAnIconNeverAdded) {
    auto icon = makeIcon();
    icon->BeginLoading();
    area.failAdd = true;
    EXPECT_THROW(icon->setVisible(true), EOutOfResources);
    area.failAdd = false;
    icon->setVisible(false);  // no error: nothing was asked of the area
    EXPECT_EQ(area.count(Op::Delete), 0);
    EXPECT_FALSE(icon->Visible());

    // An icon that did get added is taken away even while loading.
    icon->setVisible(true);
    icon->setVisible(false);
    EXPECT_EQ(area.count(Op::Delete), 1);
    EXPECT_FALSE(area.iconPresent());
    icon->Loaded();
    EXPECT_FALSE(icon->IsLoading());
}

TEST_F(TrayIconTest, DestructionDeletesTheIconAndDetaches) {
    auto icon = makeIcon();
    icon->setVisible(true);
    icon.reset();
    EXPECT_FALSE(area.iconPresent());
    EXPECT_EQ(area.last().operation, Op::Delete);
    EXPECT_FALSE(area.hasSink());
}

TEST_F(TrayIconTest, ReAddedAfterAHostRestartOnlyWhileVisible) {
    auto icon = makeIcon();
    icon->setHint(QStringLiteral("Plumo小秘书"));
    area.restartHost();
    EXPECT_EQ(area.count(Op::Add), 0);

    icon->setVisible(true);
    area.restartHost();
    EXPECT_EQ(area.count(Op::Add), 2);
    EXPECT_TRUE(area.iconPresent());
    EXPECT_EQ(area.shownRecord().tip, QStringLiteral("Plumo小秘书"));

    icon->setVisible(false);
    area.restartHost();
    EXPECT_EQ(area.count(Op::Add), 2);
    EXPECT_FALSE(area.iconPresent());
}

TEST_F(TrayIconTest, SessionEndRemovesTheIconAndMayProceed) {
    auto icon = makeIcon();
    icon->setVisible(true);
    EXPECT_EQ(area.send(TrayMessage::of(TrayMessage::Kind::QueryEndSession)), 1);
    EXPECT_TRUE(area.iconPresent());
    area.send(TrayMessage::of(TrayMessage::Kind::EndSession));
    EXPECT_FALSE(area.iconPresent());
}

// --- mouse ---------------------------------------------------------------------------------

TEST_F(TrayIconTest, PressAndReleaseRaiseOneClickBetweenDownAndUp) {
    auto icon = makeIcon();
    icon->setVisible(true);
    area.cursor = QPoint(700, 590);
    area.modifiers = Qt::ShiftModifier | Qt::ControlModifier;
    std::vector<QString> events;
    icon->OnMouseDown = [&](QObject*, TMouseButton button, TShiftState shift, int x, int y) {
        EXPECT_EQ(button, TMouseButton::mbLeft);
        EXPECT_EQ(shift, TShiftState(ssShift | ssCtrl | ssLeft));
        EXPECT_EQ(QPoint(x, y), QPoint(700, 590));
        events.push_back(QStringLiteral("down"));
    };
    icon->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, icon.get());
        events.push_back(QStringLiteral("click"));
    };
    icon->OnMouseUp = [&](QObject*, TMouseButton button, TShiftState shift, int, int) {
        EXPECT_EQ(button, TMouseButton::mbLeft);
        EXPECT_EQ(shift, TShiftState(ssShift | ssCtrl | ssLeft));
        events.push_back(QStringLiteral("up"));
    };
    area.activate(TrayActivation::Click);
    EXPECT_EQ(events, (std::vector<QString>{"down", "click", "up"}));
    EXPECT_FALSE(icon->clickArmed());
}

TEST_F(TrayIconTest, ReleaseWithoutPressRaisesNoClick) {
    auto icon = makeIcon();
    int clicks = 0;
    icon->OnClick = [&](QObject*) { ++clicks; };
    area.sendCode(TrayCallbackCode::LeftButtonUp);
    EXPECT_EQ(clicks, 0);
    area.sendCode(TrayCallbackCode::LeftButtonDown);
    EXPECT_TRUE(icon->clickArmed());
    area.sendCode(TrayCallbackCode::LeftButtonUp);
    area.sendCode(TrayCallbackCode::LeftButtonUp);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TrayIconTest, DoubleClickRestoresTheMainWindowBeforeOnDblClick) {
    auto icon = makeIcon();
    icon->setVisible(true);
    window.hide();
    bool visibleInHandler = false;
    icon->OnDblClick = [&](QObject*) { visibleInHandler = window.isVisible(); };
    area.activate(TrayActivation::DoubleClick);
    EXPECT_TRUE(visibleInHandler);

    window.hide();
    icon->setRestoreDBClick(false);
    area.activate(TrayActivation::DoubleClick);
    EXPECT_FALSE(visibleInHandler);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TrayIconTest, ClickThenDoubleClickOfAToggleLeavesTheWindowAsItWas) {
    // The owner's handlers toggle the window, as a companion does with its tray icon.
    auto icon = makeIcon();
    icon->setVisible(true);
    window.show();
    bool shown = true;
    auto toggle = [&](QObject*) {
        if (shown)
            icon->HideMainWindow();
        else
            icon->RestoreMainWindow();
        shown = !shown;
    };
    icon->OnClick = toggle;
    icon->OnDblClick = toggle;
    area.activate(TrayActivation::Click);
    EXPECT_FALSE(window.isVisible());
    area.activate(TrayActivation::DoubleClick);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(shown);
}

TEST_F(TrayIconTest, ContextRequestShowsThePopupMenuAfterMouseUp) {
    auto icon = makeIcon();
    icon->setVisible(true);
    QMenu menu;
    menu.addAction(QStringLiteral("退出"));
    icon->setPopupMenu(&menu);
    area.cursor = QPoint(30, 40);
    bool menuShownAtMouseUp = true;
    icon->OnMouseUp = [&](QObject*, TMouseButton button, TShiftState shift, int, int) {
        EXPECT_EQ(button, TMouseButton::mbRight);
        EXPECT_EQ(shift, TShiftState(ssRight));
        menuShownAtMouseUp = menu.isVisible();
    };
    area.activate(TrayActivation::ContextRequest);
    EXPECT_FALSE(menuShownAtMouseUp);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    icon->OnMouseUp = nullptr;

    // A left click opens it only with LeftPopup.
    area.activate(TrayActivation::Click);
    EXPECT_FALSE(menu.isVisible());
    icon->setLeftPopup(true);
    area.activate(TrayActivation::Click);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(TrayIconTest, AMenuTheHostDrawsItselfIsHandedOverAndNeverPoppedUp) {
    area.drawsMenus = true;
    auto icon = makeIcon();
    icon->setVisible(true);
    QMenu menu;
    menu.addAction(QStringLiteral("退出"));
    icon->setPopupMenu(&menu);
    EXPECT_EQ(area.exportedMenu, &menu);
    EXPECT_TRUE(icon->PopupMenuExported());
    bool releaseReported = false;
    icon->OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) {
        releaseReported = true;
    };
    area.activate(TrayActivation::ContextRequest);
    EXPECT_TRUE(releaseReported);
    EXPECT_FALSE(menu.isVisible());
    icon->setLeftPopup(true);
    area.activate(TrayActivation::Click);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(TrayIconTest, ADestroyedMenuIsNoLongerShown) {
    auto icon = makeIcon();
    auto menu = std::make_unique<QMenu>();
    icon->setPopupMenu(menu.get());
    menu.reset();
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    area.activate(TrayActivation::ContextRequest);  // must not touch the old menu
}

TEST_F(TrayIconTest, AnErrorInAHandlerIsShownAndTheNextMessageStillWorks) {
    test::RecordingMessageBoxes boxes;
    auto icon = makeIcon();
    int clicks = 0;
    icon->OnClick = [&](QObject*) {
        ++clicks;
        throw std::runtime_error("数据库错误");
    };
    area.activate(TrayActivation::Click);
    area.activate(TrayActivation::Click);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.errors,
              (QStringList{QStringLiteral("数据库错误"), QStringLiteral("数据库错误")}));
}

// --- icon and animation --------------------------------------------------------------------

class TrayAnimationTest : public TrayIconTest {
protected:
    void SetUp() override {
        TrayIconTest::SetUp();
        for (Qt::GlobalColor color : {Qt::green, Qt::blue, Qt::yellow}) {
            frames.push_back(solidIcon(color));
            list.add(frames.back());
        }
    }
    qint64 shownKey() const { return area.shownRecord().iconKey; }

    std::vector<QIcon> frames;
    TrayImageList list;
};

TEST_F(TrayAnimationTest, AnEmptyIconShowsTheApplicationIcon) {
    auto icon = makeIcon();
    icon->setVisible(true);
    EXPECT_EQ(shownKey(), appIcon.cacheKey());
    EXPECT_EQ(area.shownIcon().cacheKey(), appIcon.cacheKey());

    const QIcon own = solidIcon(Qt::black);
    icon->setIcon(own);
    EXPECT_EQ(shownKey(), own.cacheKey());
    icon->setIcon(QIcon());
    EXPECT_EQ(shownKey(), appIcon.cacheKey());
}

TEST_F(TrayAnimationTest, FramesRunInOrderAndWrap) {
    auto icon = makeIcon();
    icon->setIcons(&list);
    icon->setVisible(true);
    icon->setAnimate(true);
    EXPECT_TRUE(icon->animationTimerActive());
    int animateEvents = 0;
    icon->OnAnimate = [&](QObject*) { ++animateEvents; };
    std::vector<int> indexes;
    std::vector<qint64> keys;
    for (int tick = 0; tick < 4; ++tick) {
        icon->AnimateTick();
        indexes.push_back(icon->IconIndex());
        keys.push_back(shownKey());
    }
    EXPECT_EQ(indexes, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(keys, (std::vector<qint64>{frames[1].cacheKey(), frames[2].cacheKey(),
                                         frames[0].cacheKey(), frames[1].cacheKey()}));
    EXPECT_EQ(animateEvents, 4);
}

TEST_F(TrayAnimationTest, OneFrameIsShownAtEveryTick) {
    TrayImageList single;
    single.add(frames[2]);
    auto icon = makeIcon();
    icon->setIcons(&single);
    icon->setVisible(true);
    icon->setAnimate(true);
    EXPECT_EQ(shownKey(), appIcon.cacheKey());
    icon->AnimateTick();
    EXPECT_EQ(icon->IconIndex(), 0);
    EXPECT_EQ(shownKey(), frames[2].cacheKey());
    icon->AnimateTick();
    EXPECT_EQ(shownKey(), frames[2].cacheKey());
}

TEST_F(TrayAnimationTest, TimerRunsOnlyWhileAnimatingAVisibleIconWithFrames) {
    TrayImageList empty;
    auto icon = makeIcon();
    icon->setIcons(&empty);
    icon->setVisible(true);
    icon->setAnimate(true);
    EXPECT_FALSE(icon->animationTimerActive()) << "no frames";
    icon->setAnimate(false);

    icon->setIcons(&list);
    icon->setAnimate(true);
    EXPECT_TRUE(icon->animationTimerActive());
    icon->setVisible(false);
    EXPECT_FALSE(icon->animationTimerActive());
    icon->setVisible(true);
    EXPECT_TRUE(icon->animationTimerActive());
    icon->setIcons(nullptr);
    icon->setAnimate(false);
    EXPECT_FALSE(icon->animationTimerActive()) << "switched off even without frames";
}

TEST_F(TrayAnimationTest, SwitchingAnimationOffKeepsTheLastFrameAsIcon) {
    auto icon = makeIcon();
    icon->setIcons(&list);
    icon->setVisible(true);
    icon->setAnimate(true);
    icon->AnimateTick();
    icon->AnimateTick();
    icon->setAnimate(false);
    EXPECT_EQ(icon->Icon().cacheKey(), frames[2].cacheKey());
    // Toggling visibility now shows that frame, not the application icon.
    icon->setVisible(false);
    icon->setVisible(true);
    EXPECT_EQ(shownKey(), frames[2].cacheKey());
}

TEST_F(TrayAnimationTest, RemovingTheFramesFallsBackToTheApplicationIcon) {
    auto icon = makeIcon();
    icon->setIcons(&list);
    icon->setVisible(true);
    icon->setAnimate(true);
    icon->AnimateTick();
    EXPECT_EQ(shownKey(), frames[1].cacheKey());
    icon->setIcons(nullptr);
    EXPECT_EQ(shownKey(), appIcon.cacheKey());
    icon->AnimateTick();
    EXPECT_EQ(shownKey(), appIcon.cacheKey());
}

TEST_F(TrayAnimationTest, IconIndexLoadsItsFrameAndIgnoresOutOfRange) {
    auto icon = makeIcon();
    icon->setIcons(&list);
    icon->setVisible(true);
    icon->setIconIndex(2);
    EXPECT_EQ(shownKey(), frames[2].cacheKey());
    icon->setIconIndex(7);
    EXPECT_EQ(shownKey(), frames[2].cacheKey());
    icon->AnimateTick();
    EXPECT_EQ(icon->IconIndex(), 0);
    EXPECT_EQ(shownKey(), frames[0].cacheKey());
}

TEST_F(TrayAnimationTest, TheTimerTicksAtTheInterval) {
    auto icon = makeIcon();
    EXPECT_EQ(icon->AnimateInterval(), 1000u);
    icon->setAnimateInterval(5);
    EXPECT_EQ(icon->AnimateInterval(), 5u);
    icon->setIcons(&list);
    icon->setVisible(true);
    icon->setAnimate(true);
    int ticks = 0;
    icon->OnAnimate = [&](QObject*) { ++ticks; };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
    EXPECT_EQ(area.shownRecord().iconKey, frames[icon->IconIndex()].cacheKey());
}

// --- main window ---------------------------------------------------------------------------

TEST_F(TrayIconTest, HideAndRestoreTheMainWindow) {
    auto icon = makeIcon();
    EXPECT_EQ(icon->mainWindow(), &window);
    window.show();
    icon->HideMainWindow();
    EXPECT_FALSE(window.isVisible());
    icon->RestoreMainWindow();
    EXPECT_TRUE(window.isVisible());

    window.showMinimized();
    icon->RestoreMainWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(TrayIconTest, AnOwnerThatIsNoWindowHidesNothing) {
    QObject owner;
    window.show();
    TestTrayIcon icon(&owner, area.service());
    icon.setMainWindow(&window);
    icon.HideMainWindow();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TrayIconTest, SendToTrayHidesTheWindowAndShowsTheIcon) {
    auto icon = makeIcon();
    window.show();
    icon->SendToTray();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(icon->Visible());
    EXPECT_TRUE(area.iconPresent());
}

TEST_F(TrayIconTest, MinimizingGoesToTheTrayOnlyWithMinimizeToTray) {
    auto icon = makeIcon();
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(icon->Visible());

    window.setWindowState(Qt::WindowNoState);
    icon->setMinimizeToTray(true);
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(icon->Visible());
    EXPECT_TRUE(window.isMinimized()) << "without a handler the minimize itself goes through";
    icon->RestoreMainWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(TrayIconTest, AMinimizeHandlerRunsAndTheWindowIsOnlyHidden) {
    auto icon = makeIcon();
    icon->setMinimizeToTray(true);
    int calls = 0;
    icon->OnMinimizeToTray = [&](QObject*) { ++calls; };
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(area.iconPresent());
}

TEST_F(TrayIconTest, AFailedAddOnMinimizeIsShownAsAnError) {
    test::RecordingMessageBoxes boxes;
    auto icon = makeIcon();
    icon->setMinimizeToTray(true);
    area.failAdd = true;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(boxes.errors, QStringList{QStringLiteral("STrayIconCreateError")});
}

TEST_F(TrayIconTest, StartupToTrayKeepsTheMainWindowHidden) {
    auto icon = makeIcon();
    icon->BeginLoading();
    icon->setStartupToTray(true);
    icon->setVisible(true);
    window.show();
    EXPECT_FALSE(icon->Loaded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(area.last().operation, Op::Modify);
    EXPECT_FALSE(icon->IsLoading());

    // OnStartup may overrule it.
    auto second = makeIcon();
    second->BeginLoading();
    second->setStartupToTray(true);
    second->OnStartup = [](QObject*, bool& showMainForm) {
        EXPECT_FALSE(showMainForm);
        showMainForm = true;
    };
    window.show();
    EXPECT_TRUE(second->Loaded());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TrayIconTest, PropertiesCanBeSetByName) {
    auto icon = makeIcon();
    EXPECT_TRUE(icon->setProperty("Hint", QStringLiteral("Plumo小秘书")));
    EXPECT_EQ(icon->Hint(), QStringLiteral("Plumo小秘书"));
    icon->setProperty("Visible", true);
    EXPECT_TRUE(area.iconPresent());
    EXPECT_EQ(icon->property("RestoreDBClick").toBool(), true);
    EXPECT_EQ(icon->property("BalloonTimeout").toInt(), 3000);
}

}  // namespace
}  // namespace plumo
