#include "settings/settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <functional>

#include "image/window_shape.h"
#include "settings/prompt_dialog.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

// Types `text` into `widget` one character at a time, as an input method commits it.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// Runs `script` once the event loop of a modal dialog is running.
void whenModal(QObject* context, std::function<void()> script) {
    QTimer::singleShot(0, context, std::move(script));
}

TEST(PromptDialogTest, TheCountdownClosesAtThirtyAsCancelledKeepingTheText) {
    Tdfrm dialog;
    EXPECT_EQ(dialog.btnok->text(), QStringLiteral("确认(30秒)"));
    QStringList captions;
    dialog.Timer1.start();
    whenModal(&dialog, [&] {
        QTest::keyClicks(dialog.edit1, "typed");
        dialog.Timer1Timer();
        captions << dialog.btnok->text();
        for (int i = 2; i <= 29; ++i) dialog.Timer1Timer();
        captions << dialog.btnok->text();
        EXPECT_TRUE(dialog.isVisible());
        dialog.Timer1Timer();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(captions, (QStringList{"确认(29秒)", "确认(1秒)"}));
    EXPECT_TRUE(dialog.timedOut());
    EXPECT_FALSE(dialog.Timer1.isActive());
    EXPECT_EQ(dialog.edit1->text(), "typed");
}

TEST(PromptDialogTest, EnterConfirmsAndTheCancelButtonDoesNotCountAsTimedOut) {
    Tdfrm dialog;
    dialog.Timer1.start();
    QSignalSpy okClicks(dialog.btnok, &QPushButton::clicked);
    whenModal(&dialog, [&] {
        QTest::keyClicks(dialog.edit1, "pw");
        QTest::keyClick(dialog.edit1, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(okClicks.count(), 1);
    EXPECT_FALSE(dialog.Timer1.isActive());

    Tdfrm cancelled;
    whenModal(&cancelled, [&] {
        EXPECT_FALSE(cancelled.Timer1.isActive());  // nobody enabled it
        cancelled.btncancel->click();
    });
    EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
    EXPECT_FALSE(cancelled.timedOut());
    EXPECT_EQ(cancelled.btnok->text(), QStringLiteral("确认(30秒)"));
}

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() {
        // The panel with a key-coloured corner, like the real picture.
        QImage picture(208, 257, QImage::Format_RGB32);
        picture.fill(QColor(255, 244, 230));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) picture.setPixelColor(x, y, kKeyColour);
        std::filesystem::create_directories(dir / "skin");
        picture.save(QString::fromStdString((dir / "skin/set").string()), "PNG");
        Tsetfrm::msgticks = 3;
        window = std::make_unique<Tsetfrm>(folder());
        window->show();
    }

    QString folder() const { return QString::fromStdString(dir.path().string()) + "/"; }

    // Answers the next old-password prompt with `script`, noting how it asked.
    void answerPrompt(std::function<void(Tdfrm&)> script) {
        QObject::disconnect(window.get(), &Tsetfrm::promptOpening, nullptr, nullptr);
        QObject::connect(window.get(), &Tsetfrm::promptOpening, [this, script](Tdfrm* dialog) {
            ++prompts;
            promptText = dialog->lbmsg->text();
            masked = dialog->edit1->echoMode() == QLineEdit::Password;
            maskCharacter = QChar(dialog->edit1->style()->styleHint(
                QStyle::SH_LineEdit_PasswordCharacter, nullptr, dialog->edit1));
            timerRunning = dialog->Timer1.isActive();
            whenModal(dialog, [dialog, script] { script(*dialog); });
        });
    }

    test::TempDir dir;
    std::unique_ptr<Tsetfrm> window;
    int prompts = 0;
    QString promptText;
    bool masked = false;
    QChar maskCharacter;
    bool timerRunning = false;
};

TEST_F(SettingsWindowTest, TakesTheShapeOfItsPicture) {
    EXPECT_TRUE(window->backgroundError().isEmpty());
    EXPECT_EQ(window->size(), QSize(210, 258));
    const QRegion shape = window->mask();
    EXPECT_TRUE(shape.contains(QPoint(100, 100)));
    EXPECT_TRUE(shape.contains(QPoint(5, 0)));
    EXPECT_FALSE(shape.contains(QPoint(1, 1)));
    EXPECT_FALSE(shape.contains(QPoint(209, 100)));  // beside the 208-pixel picture

    // Without its picture the window opens plain and unshaped, and says which file failed.
    Tsetfrm plain(folder() + "missing/");
    EXPECT_TRUE(plain.backgroundError().contains(folder() + "missing/skin/set"));
    EXPECT_TRUE(plain.mask().isEmpty());
}

TEST_F(SettingsWindowTest, ShowsAndReturnsTheForm) {
    const SettingsForm stored{true, false, -1, true, kPasswordPlaceholder, "old1"};
    window->setForm(stored);
    EXPECT_TRUE(window->txtpwd->isEnabled());
    EXPECT_EQ(window->soundChoices->checkedButton(), nullptr);
    EXPECT_EQ(window->form(), stored);  // the placeholder is longer than a typed text may be

    window->soundChoices->button(2)->click();
    window->chkpwd->click();
    EXPECT_FALSE(window->txtpwd->isEnabled());
    const SettingsForm changed{true, false, 2, false, kPasswordPlaceholder, "old1"};
    EXPECT_EQ(window->form(), changed);
}

TEST_F(SettingsWindowTest, PasswordFieldTakesTenBytesAndAClickSelectsAll) {
    window->chkpwd->click();
    QTest::keyClicks(window->txtpwd, "abcdefghijkl");
    EXPECT_EQ(window->txtpwd->text(), "abcdefghij");
    window->txtpwd->clear();
    typeText(window->txtpwd, QStringLiteral("a密码保护备忘"));
    EXPECT_EQ(window->txtpwd->text(), QStringLiteral("a密码保护"));
    QTest::keyClick(window->txtpwd, Qt::Key_Backspace);
    EXPECT_EQ(window->txtpwd->text(), QStringLiteral("a密码保"));

    window->txtpwd->setText(kPasswordPlaceholder);
    QTest::mouseClick(window->txtpwd, Qt::LeftButton);
    EXPECT_EQ(window->txtpwd->selectedText(), kPasswordPlaceholder);
    QTest::keyClicks(window->txtpwd, "new1");
    EXPECT_EQ(window->txtpwd->text(), "new1");
}

TEST_F(SettingsWindowTest, PasteIntoThePasswordFieldIsCutAtTenBytes) {
    window->chkpwd->click();
    QLineEdit* field = window->txtpwd;
    const auto paste = [field](const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(field, QKeySequence::Paste);
    };
    paste(QStringLiteral("abcdefghijk"));
    EXPECT_EQ(field->text(), "abcdefghij");
    EXPECT_EQ(field->cursorPosition(), 10);

    // A double-byte character that would end past the limit stays out whole.
    field->clear();
    QTest::keyClicks(field, "abcdefg");
    paste(QStringLiteral("中文x"));
    EXPECT_EQ(field->text(), QStringLiteral("abcdefg中"));
    paste(QStringLiteral("x"));
    EXPECT_EQ(field->text(), QStringLiteral("abcdefg中x"));

    // Pasted between old text, over a selection, the paste takes the room that is left.
    field->setText("abcdefghij");
    field->setSelection(2, 6);
    paste(QStringLiteral("1234567890"));
    EXPECT_EQ(field->text(), "ab123456ij");
    EXPECT_EQ(field->cursorPosition(), 8);

    // The placeholder, longer than a typed text may be, is kept whole when the window
    // puts it in.
    field->setText(kPasswordPlaceholder);
    EXPECT_EQ(field->text(), kPasswordPlaceholder);
}

TEST_F(SettingsWindowTest, MessageLineGoesAtTheFifthTickOrAtOnceOnAClick) {
    // With the line hidden the timer only runs the counter down and stops itself.
    EXPECT_TRUE(window->quittimer.isActive());
    for (int i = 0; i < 3; ++i) window->quittimerTimer();
    EXPECT_FALSE(window->quittimer.isActive());

    window->showmsg(kNeedPasswordMessage);
    EXPECT_TRUE(window->msg->isVisible());
    EXPECT_EQ(window->msg->text(), kNeedPasswordMessage);
    EXPECT_TRUE(window->quittimer.isActive());
    for (int i = 0; i < 4; ++i) window->quittimerTimer();
    EXPECT_TRUE(window->msg->isVisible());
    window->quittimerTimer();
    EXPECT_FALSE(window->msg->isVisible());
    EXPECT_FALSE(window->quittimer.isActive());

    window->showmsg(kShortPasswordMessage);
    QTest::mouseClick(window->btnCloseMsg, Qt::LeftButton);
    EXPECT_FALSE(window->msg->isVisible());
    EXPECT_FALSE(window->quittimer.isActive());
    EXPECT_EQ(Tsetfrm::msgticks, 3);

    window->showmsg(kWrongPasswordMessage);
    QTest::mouseClick(window->msg, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(window->msg->isVisible());
    EXPECT_FALSE(window->quittimer.isActive());
}

TEST_F(SettingsWindowTest, RemovingAsksWithStarsAndAWrongAnswerKeepsTheWindowOpen) {
    window->setForm({false, false, 0, false, kPasswordPlaceholder, "old1"});
    answerPrompt([](Tdfrm& dialog) {
        QTest::keyClicks(dialog.edit1, "old2");
        QTest::keyClick(dialog.edit1, Qt::Key_Enter);
    });
    window->btnokClick();
    EXPECT_EQ(prompts, 1);
    EXPECT_TRUE(masked);
    EXPECT_EQ(maskCharacter, QLatin1Char('*'));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->msg->text(), kWrongPasswordMessage);
    EXPECT_TRUE(window->msg->isVisible());
}

TEST_F(SettingsWindowTest, ChangingAsksInClearJudgesTheCountdownByTextButCancelIsQuiet) {
    window->setForm({false, false, 0, true, "new1", "old1"});
    answerPrompt([](Tdfrm& dialog) {
        QTest::keyClicks(dialog.edit1, "old1");
        dialog.btncancel->click();
    });
    window->btnokClick();
    EXPECT_EQ(promptText, kOldPasswordPrompt);
    EXPECT_FALSE(masked);
    EXPECT_TRUE(timerRunning);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->msg->isVisible());

    answerPrompt([](Tdfrm& dialog) {
        QTest::keyClicks(dialog.edit1, "old1");
        for (int i = 0; i < 30; ++i) dialog.Timer1Timer();
    });
    window->btnokClick();
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace plumo
