#include "companion/girl_window.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

#include <fstream>
#include <functional>

#include "calendar/month_window.h"
#include "companion/picture.h"
#include "companion/skin_fixture.h"
#include "fake_autostart_store.h"
#include "fake_notification_area.h"
#include "image/window_shape.h"
#include "memo/memo_schema.h"
#include "memo/memo_startup.h"
#include "memo/repeat_store.h"
#include "memo/sqlite_statement.h"
#include "notavo_process.h"
#include "platform/program_launcher.h"
#include "recording_player.h"
#include "support/fake_active_window_watch.h"
#include "support/fake_clock.h"
#include "support/fake_process_table.h"
#include "support/fake_system_shutdown.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

// Her children and menu items, found by their short names.
QLabel* label(Tgirlfrm& girl) { return girl.findChild<QLabel*>(QStringLiteral("lblinfo")); }
QWidget* panel(Tgirlfrm& girl) { return girl.findChild<QWidget*>(QStringLiteral("menu")); }
QMenu* menuOf(Tgirlfrm& girl, const char* name) {
    return girl.findChild<QMenu*>(QString::fromLatin1(name));
}
QAction* action(Tgirlfrm& girl, const char* name) {
    return girl.findChild<QAction*>(QString::fromLatin1(name));
}
QPushButton* button(Tgirlfrm& girl, const char* name) {
    return girl.findChild<QPushButton*>(QString::fromLatin1(name));
}

class RecordingLauncher final : public ProgramLauncher {
public:
    bool open(const QString& program, const QString& parameter) override {
        calls << program + QLatin1Char(' ') + parameter;
        return false;
    }
    QStringList calls;
};

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeSkinFolder(folder.path());
        std::filesystem::create_directories(folder / "config");
        createMemoDatabase(folder / "config/d.ini");
        folder.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=1\r\nauto=on\r\n");
    }

    std::unique_ptr<Tgirlfrm> start(bool anotherCopy = false) {
        CompanionServices services;
        services.launcher = &launcher;
        services.processes = &processes;
        services.shutdown = &shutdown;
        services.player = &player;
        services.autostart = &autostart;
        services.activeWindow = &activeWindow;
        services.anotherCopyRunning = [anotherCopy] { return anotherCopy; };
        services.programFolder = QString::fromStdString(folder.path().string());
        auto window = std::make_unique<Tgirlfrm>(services);
        result = window->FormCreate();
        started = result == StartupResult::Running;
        if (started) {
            window->showCentred();
            // The tray icon and the greeting sound follow her first frame.
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupComplete(); }, 5000));
        }
        QCoreApplication::processEvents();
        return window;
    }

    static QRgb pixelOf(const Picture* picture, int x, int y) {
        return picture->currentImage().pixel(x, y);
    }

    test::TempDir folder;
    test::FakeClock clock{encodeDateTime(2026, 12, 7, 8, 0, 30)};  // no full hour to chime
    test::RecordingMessageBoxes boxes;
    RecordingLauncher launcher;
    test::FakeProcessTable processes;
    test::FakeSystemShutdown shutdown;
    test::RecordingPlayer player;
    test::FakeAutostartStore autostart;
    test::FakeActiveWindowWatch activeWindow;
    test::InstalledFakeNotificationArea tray;
    StartupResult result = StartupResult::Running;
    bool started = false;
};

TEST_F(CompanionTest, StartsWithGreetingSkinsAndSibling) {
    auto girl = start();
    ASSERT_TRUE(started);
    EXPECT_TRUE(girl->isVisible());
    EXPECT_EQ(girl->size(), QSize(168, 93));
    EXPECT_TRUE(girl->bubbleText().startsWith(QStringLiteral("早上好,")));
    const QString phrase = girl->bubbleText().mid(4);
    EXPECT_TRUE(phrase == QStringLiteral("需要我为您做什么吗?") ||
                phrase == QStringLiteral("有什么可以为您效劳吗") ||
                phrase == QStringLiteral("您好，我能为您做什么吗"))
        << phrase.toStdString();
    EXPECT_EQ(QColor(pixelOf(girl->girlPicture(), 30, 50)), QColor(200, 40, 40));
    EXPECT_EQ(QColor(pixelOf(girl->bubblePicture(), 30, 50)), QColor(250, 250, 250));
    EXPECT_EQ(girl->eyePicture()->frameCount(), 3);
    EXPECT_EQ(girl->eyePicture()->size(), QSize(49, 14));
    EXPECT_EQ(label(*girl)->palette().color(QPalette::WindowText), QColor(255, 153, 51));
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0],
              QString::fromStdString((folder.path() / "Vexlar").string()) + " -s");
    EXPECT_TRUE(boxes.informations.isEmpty());
    EXPECT_TRUE(girl->isShown());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("隐藏小秘书"));
    // Start-up sound, settings with their autostart entry, tray icon, hidden calendar.
    ASSERT_EQ(player.played.size(), 1);
    EXPECT_TRUE(player.played[0].endsWith(QStringLiteral("/sound/msg.mp3")));
    EXPECT_EQ(girl->state().timeset, QStringLiteral("on"));
    EXPECT_EQ(girl->state().soundset, QStringLiteral("1"));
    EXPECT_TRUE(autostart.present);
    EXPECT_TRUE(girl->trayIcon()->Visible());
    EXPECT_EQ(girl->trayIcon()->Hint(), QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(girl->trayIcon()->PopupMenu(), menuOf(*girl, "pmenu"));
    ASSERT_NE(girl->database(), nullptr);
    EXPECT_TRUE(girl->calendarWindow() == nullptr || !girl->calendarWindow()->isVisible());
}

TEST_F(CompanionTest, TrayIconAndStartUpSoundWaitForHerFirstFrame) {
    CompanionServices services;
    services.player = &player;
    services.programFolder = QString::fromStdString(folder.path().string());
    Tgirlfrm girl(services);
    ASSERT_EQ(girl.FormCreate(), StartupResult::Running);
    QCoreApplication::processEvents();
    EXPECT_TRUE(player.played.isEmpty()) << "before she is shown";
    EXPECT_FALSE(girl.trayIcon()->Visible()) << "before she is shown";
    EXPECT_FALSE(girl.startupComplete());

    bool paintedBeforeSound = false;
    struct FirstPaint : QObject {
        bool* painted;
        explicit FirstPaint(bool* p) : painted(p) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) *painted = true;
            return false;
        }
    } watcher(&paintedBeforeSound);
    girl.installEventFilter(&watcher);
    girl.showCentred();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.played.isEmpty(); }, 5000));
    EXPECT_TRUE(paintedBeforeSound);
    EXPECT_TRUE(girl.trayIcon()->Visible());
    EXPECT_EQ(girl.trayIcon()->PopupMenu(), menuOf(girl, "pmenu"));
    EXPECT_TRUE(girl.startupComplete());
    girl.update();  // later frames play nothing more
    QTest::qWait(50);
    EXPECT_EQ(player.played.size(), 1);
    EXPECT_TRUE(player.played[0].endsWith(QStringLiteral("/sound/msg.mp3")));
}

TEST_F(CompanionTest, TrayIconAndStartUpSoundComeBeforeAStartUpMessageAndOnlyOnce) {
    // Start-up messages wait for the user; the tray icon and the sound do not wait for them.
    struct StateAtMessage final : MessageBoxes {
        const test::RecordingPlayer* player;
        const test::FakeNotificationArea* tray;
        QStringList seen;
        StateAtMessage(const test::RecordingPlayer* p, const test::FakeNotificationArea* t)
            : player(p), tray(t), previous(setCurrentMessageBoxes(this)) {}
        ~StateAtMessage() override { setCurrentMessageBoxes(previous); }
        void information(const QString&) override { note(); }
        void error(const QString&) override { note(); }
        bool question(const QString&, const QString&) override { return false; }
        void note() {
            seen << QStringLiteral("played %1, tray icon %2")
                        .arg(player->played.size())
                        .arg(tray->iconPresent() ? "up" : "missing");
        }
        MessageBoxes* previous;
    };
    std::filesystem::remove(folder / "skin/g2");  // a skin message
    autostart.failWrites = true;                  // an autostart message
    {
        // and a start-up count that fails: the file opens, its statement does not run
        test::RawConnection raw(folder / "config/d.ini");
        raw.exec("drop table log");
        raw.exec(
            "create view log as select 1 as id, 'x' as title, "
            "abs(-9223372036854775807 - 1) as flag, 0 as status, 0.0 as reminder");
    }
    StateAtMessage messages(&player, &tray);
    auto girl = start();
    ASSERT_TRUE(started);
    EXPECT_EQ(messages.seen, (QStringList{"played 1, tray icon up", "played 1, tray icon up",
                                          "played 1, tray icon up"}));
    QTest::qWait(50);
    EXPECT_EQ(player.played.size(), 1);
    EXPECT_EQ(tray.count(NotifyOperation::Add), 1);
}

TEST_F(CompanionTest, ShapeIsCutBeforeSheIsFirstShown) {
    CompanionServices services;
    services.programFolder = QString::fromStdString(folder.path().string());
    Tgirlfrm girl(services);
    ASSERT_EQ(girl.FormCreate(), StartupResult::Running);
    QRegion shapeWhenShown;
    struct ShowWatcher : QObject {
        Tgirlfrm* girl;
        QRegion* shape;
        ShowWatcher(Tgirlfrm* g, QRegion* s) : girl(g), shape(s) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) *shape = girl->mask();
            return false;
        }
    } watcher(&girl, &shapeWhenShown);
    girl.installEventFilter(&watcher);
    girl.showCentred();
    EXPECT_FALSE(shapeWhenShown.isEmpty());
    EXPECT_TRUE(shapeWhenShown.contains(QPoint(103 + 30, 60)));  // the girl
    EXPECT_FALSE(shapeWhenShown.contains(QPoint(1, 92)));        // the background
}

TEST_F(CompanionTest, BrokenDatabaseEndsStartUpWithItsMessage) {
    folder.write("config/d.ini", "not a database");
    auto girl = start();
    EXPECT_EQ(result, StartupResult::DatabaseFailed);
    ASSERT_EQ(boxes.informations.size(), 1);
    EXPECT_EQ(boxes.informations[0].section(QLatin1Char('\n'), 0, 0), kDatabaseStartupFailure);
    EXPECT_TRUE(
        boxes.informations[0].contains(QString::fromStdString((folder / "config/d.ini").string())));
    EXPECT_FALSE(girl->isVisible());
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_TRUE(player.played.isEmpty());
}

TEST_F(CompanionTest, EveryUnusableDatabaseEndsStartUp) {
    const auto database = folder / "config/d.ini";
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"missing", [&] { std::filesystem::remove(database); }},
        {"empty", [&] { folder.write("config/d.ini", ""); }},
        {"directory",
         [&] {
             std::filesystem::remove(database);
             std::filesystem::create_directory(database);
         }},
        {"without the memo tables",
         [&] {
             // An SQLite file of another program: without the memo tables.
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
             sqlite3_exec(db, "drop table log; drop table master;", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
    };
    for (const auto& [name, prepare] : cases) {
        std::filesystem::remove_all(database);
        createMemoDatabase(database);
        prepare();
        boxes.informations.clear();
        auto girl = start();
        EXPECT_EQ(result, StartupResult::DatabaseFailed) << name;
        ASSERT_EQ(boxes.informations.size(), 1) << name;
        EXPECT_EQ(boxes.informations[0].section(QLatin1Char('\n'), 0, 0), kDatabaseStartupFailure)
            << name;
        EXPECT_FALSE(girl->isVisible()) << name;
    }
}

TEST_F(CompanionTest, MissingSettingsFileMeansChimeAndAutostartOff) {
    std::filesystem::remove(folder / "config/config.ini");
    autostart.present = true;
    auto girl = start();
    EXPECT_TRUE(girl->state().timeset.isEmpty());
    EXPECT_FALSE(autostart.present);
}

TEST_F(CompanionTest, TrayClicksToggleAndADoubleClickLeavesHerAsSheWas) {
    auto girl = start();
    tray.activate(TrayActivation::Click);
    EXPECT_FALSE(girl->isVisible());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("显示小秘书"));
    tray.activate(TrayActivation::Click);
    EXPECT_TRUE(girl->isVisible());
    tray.activate(TrayActivation::Click);
    tray.activate(TrayActivation::DoubleClick);
    EXPECT_TRUE(girl->isVisible());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("隐藏小秘书"));
}

TEST_F(CompanionTest, CalendarToggleFollowsTheWindow) {
    auto girl = start();
    action(*girl, "N3")->trigger();
    EXPECT_TRUE(girl->calendarWindow()->isVisible());
    EXPECT_EQ(button(*girl, "btnmonth")->text(), QStringLiteral("关闭万年历"));
    EXPECT_EQ(action(*girl, "N3")->text(), QStringLiteral("关闭万年历"));
    girl->calendarWindow()->hide();  // hidden by other means
    button(*girl, "btnmonth")->click();
    EXPECT_TRUE(girl->calendarWindow()->isVisible());
    EXPECT_EQ(action(*girl, "N3")->text(), QStringLiteral("关闭万年历"));
    button(*girl, "btnmonth")->click();
    EXPECT_FALSE(girl->calendarWindow()->isVisible());
    EXPECT_EQ(button(*girl, "btnmonth")->text(), QStringLiteral("万年历"));
    EXPECT_EQ(action(*girl, "N3")->text(), QStringLiteral("万年历"));
}

TEST_F(CompanionTest, ClickWhileAnsweringLeavesTheBubble) {
    auto girl = start();
    const QString said = girl->bubbleText();
    girl->state().answering = true;
    girl->lblinfoClick();
    EXPECT_TRUE(menuOf(*girl, "pmanswer")->isVisible());
    menuOf(*girl, "pmanswer")->hide();
    EXPECT_EQ(girl->bubbleText(), said);
    EXPECT_FALSE(panel(*girl)->isVisible());
    EXPECT_TRUE(girl->state().answering);
}

TEST_F(CompanionTest, MenusHoldTheirItems) {
    auto girl = start();
    QStringList main, outfit, answer;
    for (QAction* a : menuOf(*girl, "pmenu")->actions())
        main << (a->isSeparator() ? "-" : a->text());
    for (QAction* a : menuOf(*girl, "pmenu2")->actions())
        if (a->isVisible()) outfit << a->text();
    for (QAction* a : menuOf(*girl, "pmanswer")->actions())
        answer << a->text() + (a->isVisible() ? "" : "(hidden)");
    EXPECT_EQ(main.join("|"), QStringLiteral("隐藏小秘书|-|备忘录|万年历|-|设置|关于|退出"));
    EXPECT_EQ(outfit.join("|"), QStringLiteral("换装|隐藏|指令"));
    EXPECT_EQ(answer.join("|"), QStringLiteral("查看|知道了|延迟一天(hidden)|稍后提醒(hidden)"));
    QStringList snooze;
    for (QAction* a : action(*girl, "N15")->menu()->actions()) snooze << a->text();
    EXPECT_EQ(snooze.join("|"), QStringLiteral("10 分钟|1 小时"));
    // Drawn as the menu it opens from.
    EXPECT_EQ(action(*girl, "N15")->menu()->style(), menuOf(*girl, "pmanswer")->style());
    QStringList buttons;
    for (QPushButton* b : {button(*girl, "btnreminder"), button(*girl, "btnmonth"),
                           button(*girl, "btnhide"), button(*girl, "btnset")})
        buttons << QStringLiteral("%1@%2,%3").arg(b->text()).arg(b->x()).arg(b->y());
    EXPECT_EQ(buttons.join("|"), QStringLiteral("备忘录@1,2|万年历@1,22|隐藏@1,42|设置@2,62"));
}

TEST_F(CompanionTest, AboutSpeaksInTheBigBubble) {
    auto girl = start();
    button(*girl, "btnhide")->click();
    action(*girl, "nabout")->trigger();
    EXPECT_TRUE(girl->isVisible());
    EXPECT_TRUE(girl->bubbleText().startsWith(QStringLiteral("Plumo小秘书")));
    EXPECT_EQ(QColor(pixelOf(girl->bubblePicture(), 30, 50)), QColor(230, 230, 255));
}

TEST_F(CompanionTest, GreetingWithoutPrefixAtTheBoundary) {
    clock.set(2026, 12, 7, 10, 0, 0);
    auto girl = start();
    EXPECT_FALSE(girl->bubbleText().contains(QLatin1Char(',')));
    EXPECT_FALSE(girl->bubbleText().isEmpty());
}

TEST_F(CompanionTest, SecondCopyStopsBeforeDoingAnything) {
    auto girl = start(/*anotherCopy=*/true);
    EXPECT_EQ(result, StartupResult::AnotherCopy);
    EXPECT_TRUE(player.played.isEmpty());
    EXPECT_FALSE(girl->trayIcon()->Visible());
    EXPECT_FALSE(girl->isVisible());
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_TRUE(girl->bubbleText().isEmpty());
    EXPECT_TRUE(boxes.informations.isEmpty());
}

TEST_F(CompanionTest, MissingAndBrokenSkinsAreNamedAndStartUpGoesOn) {
    std::filesystem::remove(folder / "skin/g2");
    std::ofstream(folder / "skin/spop", std::ios::trunc) << "not a picture";
    std::ofstream(folder / "skin/i.gif", std::ios::trunc) << "GIF89a";
    auto girl = start();
    ASSERT_TRUE(started);
    ASSERT_EQ(boxes.informations.size(), 1);
    const QString message = boxes.informations[0];
    EXPECT_TRUE(message.contains(QStringLiteral("skin/g2"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("skin/spop")));
    EXPECT_TRUE(message.contains(QStringLiteral("skin/i.gif")));
    EXPECT_FALSE(message.contains(QStringLiteral("skin/g1")));
    // What could be loaded shows, and the rest of start-up ran.
    EXPECT_EQ(QColor(pixelOf(girl->girlPicture(), 30, 50)), QColor(200, 40, 40));
    EXPECT_EQ(launcher.calls.size(), 1);
    EXPECT_TRUE(girl->isVisible());
}

TEST_F(CompanionTest, HideShowToggleKeepsCaptionAndVisibilityInStep) {
    auto girl = start();
    auto expectShown = [&](bool shown) {
        EXPECT_EQ(girl->isVisible(), shown);
        EXPECT_EQ(girl->isShown(), shown);
        EXPECT_EQ(action(*girl, "N4")->text(),
                  shown ? QStringLiteral("隐藏小秘书") : QStringLiteral("显示小秘书"));
        EXPECT_EQ(button(*girl, "btnhide")->text(), QStringLiteral("隐藏"));
    };
    button(*girl, "btnhide")->click();
    expectShown(false);
    action(*girl, "N4")->trigger();
    expectShown(true);
    action(*girl, "N11")->trigger();
    expectShown(false);
    button(*girl, "btnhide")->click();
    expectShown(true);
    // Hidden by other means than the toggle: the caption still decides.
    action(*girl, "N4")->trigger();
    action(*girl, "N4")->trigger();
    expectShown(true);
}

TEST_F(CompanionTest, SpeakingWhileHiddenShowsHer) {
    auto girl = start();
    button(*girl, "btnhide")->click();
    girl->setBubbleText(QStringLiteral("测试"));
    girl->showinfo();
    EXPECT_TRUE(girl->isVisible());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("隐藏小秘书"));
    EXPECT_FALSE(panel(*girl)->isVisible());
    EXPECT_TRUE(label(*girl)->isVisible());
}

TEST_F(CompanionTest, SpeakingWhileHiddenUnderAFullScreenWindowShowsHerOnceItIsGone) {
    auto girl = start();
    button(*girl, "btnhide")->click();
    activeWindow.showFullScreen();
    girl->setBubbleText(QStringLiteral("测试"));
    girl->showinfo();
    EXPECT_FALSE(girl->isVisible());
    EXPECT_EQ(girl->bubbleText(), QStringLiteral("测试"));
    EXPECT_TRUE(label(*girl)->isVisibleTo(girl.get()));

    activeWindow.leaveFullScreen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return girl->isVisible(); }, 5000));
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("隐藏小秘书"));
}

TEST_F(CompanionTest, GoodbyeClosesOnTheSecondTick) {
    auto girl = start();
    button(*girl, "btnhide")->click();
    girl->nexitClick();
    EXPECT_TRUE(girl->isVisible());  // shown again to say goodbye
    EXPECT_EQ(girl->bubbleText(), QStringLiteral("BYE BYE！有事您叫我。"));
    EXPECT_TRUE(girl->goodbyeRunning());
    girl->quittimerTimer();
    EXPECT_TRUE(girl->isVisible());
    girl->quittimerTimer();
    EXPECT_FALSE(girl->isVisible());
    EXPECT_FALSE(girl->goodbyeRunning());
    EXPECT_EQ(girl->state().quitcount, 3);
}

TEST_F(CompanionTest, OpeningThePanelCallsOffTheGoodbye) {
    auto girl = start();
    girl->nexitClick();
    girl->quittimerTimer();
    girl->lblinfoClick();  // not answering: the command panel
    EXPECT_FALSE(girl->goodbyeRunning());
    EXPECT_EQ(girl->state().quitcount, 3);
    EXPECT_TRUE(panel(*girl)->isVisible());
    EXPECT_TRUE(girl->bubbleText().isEmpty());
    EXPECT_TRUE(girl->isVisible());
}

TEST_F(CompanionTest, CommandPanelKeepsTextOnlyThroughTheOutfitMenu) {
    auto girl = start();
    const QString said = girl->bubbleText();
    action(*girl, "N10")->trigger();
    EXPECT_TRUE(panel(*girl)->isVisible());
    EXPECT_FALSE(label(*girl)->isVisible());
    EXPECT_EQ(girl->bubbleText(), said);
    EXPECT_EQ(QColor(pixelOf(girl->bubblePicture(), 30, 50)), QColor(120, 120, 120));
    girl->showinfo2();
    EXPECT_EQ(QColor(pixelOf(girl->bubblePicture(), 30, 50)), QColor(230, 230, 255));
    girl->showmenu();
    EXPECT_TRUE(girl->bubbleText().isEmpty());
}

TEST_F(CompanionTest, QuitTimerWithoutGoodbyeOnlyResets) {
    auto girl = start();
    girl->quittimerTimer();
    girl->quittimerTimer();
    EXPECT_TRUE(girl->isVisible());
    EXPECT_FALSE(girl->goodbyeRunning());
    EXPECT_EQ(girl->state().quitcount, 3);
}

// ---- desktops without a tray, titles with markup, acting during a start-up message

TEST_F(CompanionTest, WithoutATrayHerOwnMenuCarriesEveryCommandAndNothingHidesHer) {
    tray.failAdd = true;  // no notification area on this desktop
    auto girl = start();
    ASSERT_TRUE(started);
    EXPECT_TRUE(boxes.informations.isEmpty());
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_TRUE(girl->bubbleText().contains(QStringLiteral("右键"))) << "said once, in her bubble";
    QStringList items;
    for (QAction* a : menuOf(*girl, "pmenu2")->actions())
        if (a->isVisible() && !a->isSeparator()) items << a->text();
    EXPECT_EQ(items.join("|"), QStringLiteral("换装|指令|备忘录|万年历|设置|关于|退出"));

    button(*girl, "btnhide")->click();
    EXPECT_TRUE(girl->isVisible());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("隐藏小秘书"));
    girl->findChild<QAction*>(QStringLiteral("nexit_notray"))->trigger();
    EXPECT_TRUE(girl->goodbyeRunning());

    // A tray that appears later takes the commands back.
    tray.failAdd = false;
    girl->showmenu();
    auto* picture = const_cast<Picture*>(girl->girlPicture());
    emit picture->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(action(*girl, "N11")->isVisible());
    EXPECT_FALSE(girl->findChild<QAction*>(QStringLiteral("nexit_notray"))->isVisible());
    menuOf(*girl, "pmenu2")->hide();
}

TEST_F(CompanionTest, BubbleShowsMarkupAsTypedOnItsOwnFillUnderADarkTheme) {
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::ToolTipBase, QColor(30, 30, 30));
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::Button, QColor(30, 30, 30));
    QApplication::setPalette(dark);
    auto girl = start();
    QApplication::setPalette(before);
    const QRect text = label(*girl)->geometry();
    // Where no glyph is drawn the bubble's own fill shows, not the theme's, from the start.
    EXPECT_EQ(QColor(girl->grab().toImage().pixel(text.bottomRight())), QColor(250, 250, 250));
    girl->setBubbleText(QStringLiteral("<b></b><img src=x>"));
    girl->showinfo2();
    girl->showinfo();
    const QImage look = girl->grab().toImage();
    EXPECT_EQ(QColor(look.pixel(text.bottomRight())), QColor(250, 250, 250));
    int glyphPixels = 0;  // markup would be interpreted and draw nothing
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            glyphPixels += QColor(look.pixel(x, y)) != QColor(250, 250, 250);
    EXPECT_GT(glyphPixels, 20);
}

TEST_F(CompanionTest, TrayActionsDuringAStartUpMessageStand) {
    std::filesystem::remove(folder / "skin/g2");                       // brings a start-up message
    boxes.whileShown = [&] { tray.activate(TrayActivation::Click); };  // hide her
    auto girl = start();
    ASSERT_TRUE(started);
    ASSERT_EQ(boxes.informations.size(), 1);
    EXPECT_FALSE(girl->isVisible());
    EXPECT_EQ(action(*girl, "N4")->text(), QStringLiteral("显示小秘书"));

    girl.reset();
    boxes.informations.clear();
    boxes.whileShown = [] {  // say goodbye from the main menu
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* companion = qobject_cast<Tgirlfrm*>(window))
                action(*companion, "nexit")->trigger();
    };
    auto other = start();
    ASSERT_TRUE(started);
    EXPECT_TRUE(other->goodbyeRunning());
    other->quittimerTimer();
    other->quittimerTimer();
    EXPECT_FALSE(other->isVisible());
}

// ---- the deciding parts on her window

TEST_F(CompanionTest, MemoButtonStartsWatchesAndClosesTheMemoProgram) {
    auto girl = start();
    launcher.calls.clear();
    action(*girl, "N2")->trigger();
    EXPECT_EQ(launcher.calls,
              QStringList{QString::fromStdString((folder.path() / "Notavo").string()) + " -s"});
    EXPECT_EQ(button(*girl, "btnreminder")->text(), QStringLiteral("关闭备忘录"));
    EXPECT_EQ(action(*girl, "N2")->text(), QStringLiteral("关闭备忘录"));
    EXPECT_FALSE(girl->isVisible()) << "she goes to the tray";

    const long pid = processes.start("Notavo");
    girl->watchTimerTimer();
    EXPECT_EQ(action(*girl, "N2")->text(), QStringLiteral("关闭备忘录"));
    processes.end(pid);  // closed by its own means
    girl->watchTimerTimer();
    EXPECT_EQ(button(*girl, "btnreminder")->text(), QStringLiteral("备忘录"));
    EXPECT_EQ(action(*girl, "N2")->text(), QStringLiteral("备忘录"));
}

TEST_F(CompanionTest, DueItemIsAnnouncedAndRemindNoMoreClosesIt) {
    const DateTime due = encodeDateTime(2026, 12, 7, 8, 0, 35);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "config/d.ini").c_str(), &db), SQLITE_OK);
    const std::string insert =
        "insert into log(id, title, flag, status, reminder) values(57, "
        "'<b>交房租</b>', 0, 0, " +
        std::to_string(due) + ")";
    ASSERT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    auto girl = start();
    clock.set(due);
    girl->rtimerTimer();
    EXPECT_EQ(girl->bubbleText(), QStringLiteral("<b>交房租</b>"));
    EXPECT_TRUE(girl->state().answering);
    EXPECT_TRUE(action(*girl, "N14")->isVisible());
    EXPECT_TRUE(action(*girl, "N15")->isVisible());
    EXPECT_TRUE(player.played.last().endsWith(QStringLiteral("/sound/reminder.mp3")));

    action(*girl, "N12")->trigger();
    sqlite3_stmt* row = nullptr;
    sqlite3_prepare_v2(db, "select status from log where id = 57", -1, &row, nullptr);
    ASSERT_EQ(sqlite3_step(row), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(row, 0), 1);
    sqlite3_finalize(row);
    sqlite3_close(db);
    EXPECT_FALSE(girl->state().answering);
    EXPECT_EQ(action(*girl, "N12")->text(), QStringLiteral("知道了"));
    EXPECT_FALSE(action(*girl, "N15")->isVisible());
    EXPECT_TRUE(panel(*girl)->isVisibleTo(girl.get()));
    EXPECT_FALSE(girl->isVisible()) << "she goes to the tray";
}

// ---- repeating items and snoozing on the memo file

class RepeatingItemTest : public CompanionTest {
protected:
    // A daily item at `due`, as the memo program makes it; returns its id.
    std::int64_t addDailyItem(DateTime due, int flag = 0) {
        auto database = MemoDatabase::open(folder / "config/d.ini");
        ensureRepeatTable(*database);
        sqlite3* db = database->connection();
        const std::string insert =
            "insert into log(title, flag, status, reminder) values('晨跑', " +
            std::to_string(flag) + ", 0, " + std::to_string(due) + ")";
        EXPECT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        const std::int64_t id = sqlite3_last_insert_rowid(db);
        EXPECT_TRUE(setRepeatRule(*database, id, RepeatRule::Daily));
        return id;
    }
    std::string item(std::int64_t id) {
        auto database = MemoDatabase::open(folder / "config/d.ini");
        SqliteStatement select(database->connection(),
                               "select status, reminder from log where id=?1");
        select.bindInteger(1, id);
        if (!select.step()) return "<gone>";
        return std::to_string(select.integer(0)) + " " + formatIsoDateTime(select.real(1));
    }
};

TEST_F(RepeatingItemTest, RemindNoMoreOnADailyItemOpensItForTomorrow) {
    const DateTime due = encodeDateTime(2026, 12, 7, 9, 0, 0);
    const std::int64_t id = addDailyItem(due);
    auto girl = start();
    clock.set(due);
    girl->rtimerTimer();
    ASSERT_TRUE(action(*girl, "N14")->isVisible());
    action(*girl, "N12")->trigger();
    EXPECT_EQ(item(id), "0 2026-12-08 09:00:00");
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join("\n").toStdString();
}

TEST_F(RepeatingItemTest, TenMinutesLaterMovesTheReminderAndAnswersAsOneDayLater) {
    const DateTime due = encodeDateTime(2026, 12, 7, 9, 0, 0);
    const std::int64_t id = addDailyItem(due);
    auto girl = start();
    clock.set(due);
    girl->rtimerTimer();
    action(*girl, "N16")->trigger();
    EXPECT_EQ(item(id), "0 2026-12-07 09:10:00");
    EXPECT_FALSE(girl->state().answering);
    EXPECT_FALSE(action(*girl, "N14")->isVisible());
    EXPECT_FALSE(action(*girl, "N15")->isVisible());
    EXPECT_FALSE(girl->isVisible()) << "she goes to the tray";

    clock.set(encodeDateTime(2026, 12, 7, 9, 10, 0));
    girl->rtimerTimer();
    EXPECT_EQ(girl->bubbleText(), QStringLiteral("晨跑"));
    action(*girl, "N17")->trigger();
    EXPECT_EQ(item(id), "0 2026-12-07 10:10:00");
}

TEST_F(RepeatingItemTest, APlanClosedBeforeACrashIsOpenAgainForTheStartupCount) {
    const std::int64_t id = addDailyItem(encodeDateTime(2026, 12, 6, 9, 0, 0), 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "config/d.ini").c_str(), &db), SQLITE_OK);
    const std::string close = "update log set status=1 where id=" + std::to_string(id);
    ASSERT_EQ(sqlite3_exec(db, close.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    auto girl = start();
    EXPECT_EQ(girl->bubbleText(), QStringLiteral("早上好,你有1项未完成的计划"));
    EXPECT_EQ(item(id), "0 2026-12-07 09:00:00");
}

// ---- outfit change on real files

class OutfitTest : public CompanionTest {
protected:
    std::string bytes(const char* name) { return folder.read(std::string("skin/") + name); }
};

TEST_F(OutfitTest, ChosenOutfitShowsAfterRestart) {
    {
        auto girl = start();
        action(*girl, "N1")->trigger();
        EXPECT_EQ(girl->state().skinno, 2);
        EXPECT_EQ(QColor(pixelOf(girl->girlPicture(), 30, 50)), QColor(40, 40, 200));
        EXPECT_FALSE(std::filesystem::exists(folder / "skin/g"));
    }
    auto again = start();
    EXPECT_EQ(again->state().skinno, 1);
    EXPECT_EQ(QColor(pixelOf(again->girlPicture(), 30, 50)), QColor(40, 40, 200));
}

TEST_F(OutfitTest, TwoChangesLeaveBothFilesAsTheyWere) {
    const std::string g1 = bytes("g1"), g2 = bytes("g2");
    auto girl = start();
    action(*girl, "N1")->trigger();
    EXPECT_EQ(bytes("g1"), g2);
    EXPECT_EQ(bytes("g2"), g1);
    action(*girl, "N1")->trigger();
    EXPECT_EQ(girl->state().skinno, 1);
    EXPECT_EQ(bytes("g1"), g1);
    EXPECT_EQ(bytes("g2"), g2);
    EXPECT_EQ(QColor(pixelOf(girl->girlPicture(), 30, 50)), QColor(200, 40, 40));
}

TEST_F(OutfitTest, StrayTemporaryFileIsNeverReplaced) {
    folder.write("skin/g", "stray bytes");
    const std::string g1 = bytes("g1"), g2 = bytes("g2");
    auto girl = start();
    action(*girl, "N1")->trigger();
    EXPECT_EQ(bytes("g"), "stray bytes");
    EXPECT_EQ(bytes("g1"), g1);
    EXPECT_EQ(bytes("g2"), g2);
    EXPECT_EQ(girl->state().skinno, 2);
    EXPECT_EQ(QColor(pixelOf(girl->girlPicture(), 30, 50)), QColor(40, 40, 200));
    action(*girl, "N1")->trigger();
    EXPECT_EQ(bytes("g"), "stray bytes");
    EXPECT_EQ(bytes("g1"), g1);
    EXPECT_EQ(bytes("g2"), g2);
}

// ---- the see-through shape

TEST_F(CompanionTest, OnlyKeyColourPixelsAreSeeThrough) {
    auto girl = start();
    girl->updateShape();
    const QRegion shape = girl->mask();
    EXPECT_FALSE(shape.contains(QPoint(1, 92)));        // below the bubble: background
    EXPECT_FALSE(shape.contains(QPoint(104 + 3, 3)));   // the girl's transparent corner
    EXPECT_TRUE(shape.contains(QPoint(103 + 30, 60)));  // the girl
    EXPECT_TRUE(shape.contains(QPoint(50, 50)));        // the bubble text
    EXPECT_FALSE(shape.contains(QPoint(3, 3)));         // the bubble's transparent corner
    girl->showmenu();
    girl->updateShape();
    EXPECT_TRUE(girl->mask().contains(QPoint(6, 5)));  // the command panel is opaque
}

TEST(WindowShape, AlphaIsBlendedOntoTheKeyColourBeforeCutting) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 0));        // fully transparent: see-through
    picture.setPixel(1, 0, qRgba(0, 0, 0, 128));        // half transparent: blended, drawn
    picture.setPixel(2, 0, qRgba(192, 220, 192, 255));  // exactly the key colour: see-through
    const QImage composed = composeOnKeyColour(QSize(3, 1), {{QRect(0, 0, 3, 1), &picture}});
    const QRegion shape(shapeOf(composed));
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_TRUE(shape.contains(QPoint(1, 0)));
    EXPECT_FALSE(shape.contains(QPoint(2, 0)));
    EXPECT_EQ(QColor(composed.pixel(1, 0)).green(), 110);
}

TEST(WindowShape, LayersAreCutToTheirRectangles) {
    QImage big(10, 10, QImage::Format_ARGB32);
    big.fill(Qt::black);
    const QImage composed = composeOnKeyColour(QSize(10, 10), {{QRect(0, 0, 4, 4), &big}});
    const QRegion shape(shapeOf(composed));
    EXPECT_TRUE(shape.contains(QPoint(3, 3)));
    EXPECT_FALSE(shape.contains(QPoint(4, 4)));
}

}  // namespace
}  // namespace plumo
