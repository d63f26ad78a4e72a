#include "companion/companion_startup.h"

#include <QCoreApplication>
#include <random>

#include "companion/core/memo_answers.h"
#include "companion/core/time_of_day.h"
#include "companion/girl_window.h"
#include "memo/memo_startup.h"
#include "platform/application_title.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "sound/playsound.h"

namespace plumo {
namespace {

const QColor kBubbleTextColour(255, 153, 51);
const QString kNoTrayNote = QStringLiteral("这个桌面没有系统托盘。右键点我，菜单里有全部命令。");

}  // namespace

StartupResult CompanionStartup::run() {
    Tgirlfrm& w = window_;
    CompanionState& state = w.state_;

    // Program folder.
    state.apppath = w.services_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : w.services_.programFolder;
    if (!state.apppath.endsWith(QLatin1Char('/'))) state.apppath += QLatin1Char('/');
    // Where she writes: the program folder itself, or the user's own folder when installed.
    state.datapath = w.services_.dataFolder.isEmpty() ? state.apppath : w.services_.dataFolder;
    if (!state.datapath.endsWith(QLatin1Char('/'))) state.datapath += QLatin1Char('/');

    // Only one copy runs; a second one ends here, silently.
    if (w.services_.anotherCopyRunning && w.services_.anotherCopyRunning())
        return StartupResult::AnotherCopy;

    // No taskbar button: the window is a frameless tool window, and keepOffTaskbar()
    // marks it again at every show.

    // The tray icon, like the greeting sound, comes right after her first frame is on the
    // screen: both take longer to set up than drawing her.
    pending_ = true;

    // The calendar window, hidden until the command panel shows it, is made right after
    // her first frame: building its control takes longer than drawing her.

    // Time-of-day prefix.
    const DateTime now = currentClock().now();
    const QString prefix = QString::fromStdString(timeOfDayPrefix(now));

    w.database_ = openMemoDatabaseForStartup(state.datapath.toStdString());
    if (!w.database_) {
        pending_ = false;
        return StartupResult::DatabaseFailed;
    }

    w.createDecidingParts();

    // The counts of open plans, or else of overdue reminders, speak before the idle greeting.
    takeStartupCounts(state, w, w.database_->query(), currentMessageBoxes(), prefix);

    // Idle greeting when nothing else was said.
    if (w.bubbleText().isEmpty()) {
        std::mt19937 random(randomSeed(now));
        w.setBubbleText(prefix + QString::fromStdString(greetingPhrase(random())));
    }

    w.loadSkins();
    if (!w.skinErrors().isEmpty()) {
        tellUser(QStringLiteral("有皮肤文件无法载入，小秘书会少一些样子：\n") +
                     w.skinErrors().join(QLatin1Char('\n')),
                 false);
    }

    QPalette text = w.lblinfo->palette();
    text.setColor(QPalette::WindowText, kBubbleTextColour);
    w.lblinfo->setPalette(text);

    // The greeting sound: after her first frame, with the tray icon.

    w.readconfig();

    if (w.services_.launcher)
        w.services_.launcher->open(state.apppath + QStringLiteral("Vexlar"), QStringLiteral("-s"));
    return StartupResult::Running;
}

void CompanionStartup::tellUser(const QString& text, bool isError) {
    if (pending_) {
        messages_.emplace_back(text, isError);
        return;
    }
    if (isError)
        currentMessageBoxes().error(text);
    else
        currentMessageBoxes().information(text);
}

void CompanionStartup::finishAfterFirstFrame() {
    if (!pending_ || finishing_) return;
    finishing_ = true;
    setUpTrayIcon();
    window_.createCalendarWindow();
    if (window_.mp1)
        playsound(*window_.mp1, window_.state_.apppath, QStringLiteral("msg.mp3"), QString());
    // From here on messages show at once; these wait for the user, one after the other.
    pending_ = false;
    const auto messages = std::exchange(messages_, {});
    for (const auto& [text, isError] : messages) tellUser(text, isError);
}

void CompanionStartup::setUpTrayIcon() {
    Tgirlfrm& w = window_;
    w.hicon->setHint(kApplicationTitle);
    w.hicon->setPopupMenu(w.menus_.pmenu);
    try {
        w.hicon->setVisible(true);
    } catch (const EOutOfResources&) {
        // No notification area on this desktop (yet); the icon docks when one appears.
    }
    const bool present = w.trayPresent();
    w.menus_.setTrayPresent(present);
    // Without a tray she says once where her commands are, unless she has news to tell.
    if (!present && !w.state_.answering) {
        w.setBubbleText(kNoTrayNote);
        w.showinfo();
    }
}

}  // namespace plumo
