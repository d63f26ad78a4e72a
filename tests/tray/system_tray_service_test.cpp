#include "tray/system_tray_service.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

namespace plumo {
namespace {

using C = TrayCallbackCode;

class SystemTrayServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        service.setMessageSink([this](const TrayMessage& message) {
            if (message.kind == TrayMessage::Kind::Callback) codes.push_back(message.code);
            return 0L;
        });
        record = NotifyIconRecord::initial(QStringLiteral("Plumo小秘书"));
    }

    SystemTrayService service;
    NotifyIconRecord record;
    std::vector<C> codes;
};

TEST_F(SystemTrayServiceTest, ActivationsArriveAsTheirCallbackCodes) {
    QSystemTrayIcon& tray = service.systemTrayIcon();
    emit tray.activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(codes, (std::vector<C>{C::LeftButtonDown, C::LeftButtonUp}));
    codes.clear();
    emit tray.activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(codes, (std::vector<C>{C::LeftDoubleClick}));
    codes.clear();
    emit tray.activated(QSystemTrayIcon::Context);
    EXPECT_EQ(codes, (std::vector<C>{C::RightButtonDown, C::RightButtonUp}));
    codes.clear();
    emit tray.activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(codes, (std::vector<C>{C::MiddleButtonDown, C::MiddleButtonUp}));
    codes.clear();
    emit tray.activated(QSystemTrayIcon::Unknown);
    EXPECT_TRUE(codes.empty());
    emit tray.messageClicked();
    EXPECT_EQ(codes, (std::vector<C>{C::BalloonClicked}));
}

TEST_F(SystemTrayServiceTest, ModifyAndDeleteNeedAnAddedIcon) {
    const QIcon none;
    EXPECT_FALSE(service.notify(NotifyOperation::Modify, record, none));
    EXPECT_FALSE(service.notify(NotifyOperation::Delete, record, none));
    // Without a tray host the add reports failure, but the icon is registered.
    EXPECT_EQ(service.notify(NotifyOperation::Add, record, none),
              QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(service.notify(NotifyOperation::Add, record, none)) << "added twice";
    EXPECT_TRUE(service.notify(NotifyOperation::Modify, record, none));
    EXPECT_TRUE(service.notify(NotifyOperation::Delete, record, none));
    EXPECT_FALSE(service.notify(NotifyOperation::Delete, record, none));
}

TEST_F(SystemTrayServiceTest, TheRecordReachesTheIcon) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::green);
    const QIcon icon(pixmap);
    service.notify(NotifyOperation::Add, record, icon);
    EXPECT_EQ(service.systemTrayIcon().toolTip(), QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(service.systemTrayIcon().icon().cacheKey(), icon.cacheKey());

    record.setTooltip(QString());
    service.notify(NotifyOperation::Modify, record, QIcon());
    EXPECT_TRUE(service.systemTrayIcon().toolTip().isEmpty());
    EXPECT_FALSE(service.systemTrayIcon().icon().isNull()) << "an empty icon gets a stand-in";
}

TEST_F(SystemTrayServiceTest, ABalloonIsShownOnceAndReportedGoneWithTheIcon) {
    service.notify(NotifyOperation::Add, record, QIcon());
    record.setBalloonTitle(QStringLiteral("提醒"));
    record.setBalloonText(QStringLiteral("该休息了"));
    record.balloonTimeout = 60000;
    service.notify(NotifyOperation::Modify, record, QIcon());
    EXPECT_FALSE(service.balloonOnScreen()) << "no request, no balloon";

    record.requestBalloon(TBalloonFlags::bfInfo);
    service.notify(NotifyOperation::Modify, record, QIcon());
    EXPECT_TRUE(service.balloonOnScreen());
    EXPECT_TRUE(codes.empty()) << "reported after the request returns";
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, (std::vector<C>{C::BalloonShown}));

    record.setTooltip(QStringLiteral("other"));
    service.notify(NotifyOperation::Modify, record, QIcon());
    QCoreApplication::processEvents();
    EXPECT_EQ(codes.size(), 1u) << "the same balloon is not shown again";

    service.notify(NotifyOperation::Delete, record, QIcon());
    EXPECT_FALSE(service.balloonOnScreen());
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, (std::vector<C>{C::BalloonShown, C::BalloonHidden}));
}

TEST_F(SystemTrayServiceTest, AnUnclickedBalloonTimesOut) {
    service.notify(NotifyOperation::Add, record, QIcon());
    record.setBalloonText(QStringLiteral("该休息了"));
    record.balloonTimeout = 5;
    record.requestBalloon(TBalloonFlags::bfNone);
    service.notify(NotifyOperation::Modify, record, QIcon());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !service.balloonOnScreen(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, (std::vector<C>{C::BalloonShown, C::BalloonTimedOut}));
}

TEST(SystemTrayServiceMenuTest, OnlyAHostOnDBusIsHandedTheMenuItems) {
    QMenu menu;
    QAction* hide = menu.addAction(QStringLiteral("隐藏小秘书"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("退出"));

    SystemTrayService offscreen;
    EXPECT_FALSE(offscreen.onDBus()) << "offscreen the icon goes nowhere";
    SystemTrayService xembed(false);
    EXPECT_FALSE(xembed.exportMenu(&menu));
    EXPECT_EQ(xembed.systemTrayIcon().contextMenu(), nullptr);

    SystemTrayService onDBus(true);
    EXPECT_TRUE(onDBus.exportMenu(&menu));
    QMenu* exported = onDBus.systemTrayIcon().contextMenu();
    ASSERT_NE(exported, nullptr);
    EXPECT_NE(exported, &menu) << "the menu handed over keeps its own look";
    EXPECT_EQ(exported->actions(), menu.actions());
    hide->setText(QStringLiteral("显示小秘书"));
    EXPECT_EQ(exported->actions().constFirst()->text(), QStringLiteral("显示小秘书"));

    EXPECT_FALSE(onDBus.exportMenu(nullptr));
    EXPECT_TRUE(exported->actions().isEmpty());
}

}  // namespace
}  // namespace plumo
