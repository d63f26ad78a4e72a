#include "tray/notify_icon_record.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

QString repeated(const QString& piece, int times) { return piece.repeated(times); }

TEST(CutToUtf16Units, KeepsShortTextsAndCutsLongOnesAtTheLimit) {
    EXPECT_EQ(cutToUtf16Units(QStringLiteral("abc"), 127), QStringLiteral("abc"));
    EXPECT_EQ(cutToUtf16Units(repeated(QStringLiteral("a"), 127), 127).size(), 127);
    const QString chinese = repeated(QStringLiteral("秘"), 200);
    EXPECT_EQ(cutToUtf16Units(chinese, 127), chinese.left(127));
    EXPECT_EQ(cutToUtf16Units(QStringLiteral("abc"), 0), QString());
}

TEST(CutToUtf16Units, NeverSplitsASurrogatePair) {
    // U+1F600 takes two UTF-16 units; placed across the limit it is dropped whole.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    ASSERT_EQ(emoji.size(), 2);
    const QString text = repeated(QStringLiteral("a"), 62) + emoji + QStringLiteral("b");
    const QString cut = cutToUtf16Units(text, 63);
    EXPECT_EQ(cut, repeated(QStringLiteral("a"), 62));
    // Ending exactly at the limit, the pair stays.
    EXPECT_EQ(cutToUtf16Units(text, 64), repeated(QStringLiteral("a"), 62) + emoji);
}

TEST(NotifyIconRecord, StartsWithMessageAndIconFlagsAndTheTitleAsTooltip) {
    const NotifyIconRecord record = NotifyIconRecord::initial(QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(record.flags, unsigned(nifMessage | nifIcon | nifTip));
    EXPECT_EQ(record.callbackMessage, 1025u);
    EXPECT_EQ(record.tip, QStringLiteral("Plumo小秘书"));
    EXPECT_EQ(record.balloonTimeout, 3000);
    EXPECT_EQ(record.balloonKind, TBalloonFlags::bfNone);

    const NotifyIconRecord untitled = NotifyIconRecord::initial(QString());
    EXPECT_EQ(untitled.flags, unsigned(nifMessage | nifIcon));
    EXPECT_TRUE(untitled.tip.isEmpty());
}

TEST(NotifyIconRecord, TooltipFlagFollowsTheText) {
    NotifyIconRecord record = NotifyIconRecord::initial(QString());
    record.setTooltip(repeated(QStringLiteral("提"), 200));
    EXPECT_TRUE(record.has(nifTip));
    EXPECT_EQ(record.tip, repeated(QStringLiteral("提"), kTooltipLimit));

    record.setTooltip(QString());
    EXPECT_FALSE(record.has(nifTip));
    EXPECT_TRUE(record.tip.isEmpty());
    EXPECT_TRUE(record.has(nifMessage));
    EXPECT_TRUE(record.has(nifIcon));
}

TEST(NotifyIconRecord, BalloonTextsAreCutAt255And63) {
    NotifyIconRecord record;
    record.setBalloonText(repeated(QStringLiteral("x"), 300));
    record.setBalloonTitle(repeated(QStringLiteral("标"), 100));
    EXPECT_EQ(record.balloonText.size(), 255);
    EXPECT_EQ(record.balloonTitle, repeated(QStringLiteral("标"), 63));
    record.setBalloonTitle(QStringLiteral("short"));
    EXPECT_EQ(record.balloonTitle, QStringLiteral("short"));
}

TEST(NotifyIconRecord, BalloonRequestStaysUntilCleared) {
    NotifyIconRecord record = NotifyIconRecord::initial(QStringLiteral("t"));
    record.requestBalloon(TBalloonFlags::bfError);
    EXPECT_TRUE(record.has(nifInfo));
    EXPECT_EQ(record.balloonKind, TBalloonFlags::bfError);
    EXPECT_EQ(static_cast<int>(record.balloonKind), 3);
    record.setTooltip(QStringLiteral("other"));
    EXPECT_TRUE(record.has(nifInfo));
    record.clearBalloon();
    EXPECT_FALSE(record.has(nifInfo));
    EXPECT_TRUE(record.has(nifTip));
}

}  // namespace
}  // namespace plumo
