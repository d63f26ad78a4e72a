#include "companion/companion_startup.h"

#include <QCoreApplication>
#include <random>

#include "companion/core/full_screen_quiet.h"
#include "companion/core/memo_answers.h"
#include "companion/core/time_of_day.h"
#include "memo/memo_startup.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "sound/playsound.h"

namespace plumo {
namespace {

const QString kNoTrayNote = QStringLiteral("这个桌面没有系统托盘。右键点我，菜单里有全部命令。");

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

StartupResult CompanionStartup::run() {
    CompanionState& state = window_.state();
    CompanionView& view = window_.view();
    const CompanionServices& services = window_.services();

    // Program folder.
    state.apppath =
        withSlash(services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                   : services.programFolder);
    // Where she writes: the program folder itself, or the user's own folder when installed.
    state.datapath = services.dataFolder.isEmpty() ? state.apppath : withSlash(services.dataFolder);

    // Only one copy runs; a second one ends here, silently.
    if (services.anotherCopyRunning && services.anotherCopyRunning())
        return StartupResult::AnotherCopy;

    // No taskbar button: the window is a frameless tool window, and keepOffTaskbar()
    // marks it again at every show.

    // The tray icon, like the greeting sound, comes right after her first frame is on the
    // screen: both take longer to set up than drawing her.
    pending_ = true;

    // Time-of-day prefix.
    const DateTime now = currentClock().now();
    const QString prefix = QString::fromStdString(timeOfDayPrefix(now));

    std::unique_ptr<MemoDatabase> database =
        openMemoDatabaseForStartup(state.datapath.toStdString());
    if (!database) {
        pending_ = false;
        return StartupResult::DatabaseFailed;
    }
    MemoQuery& query = window_.attachDatabase(std::move(database));

    // The counts of open plans, or else of overdue reminders, speak before the idle greeting;
    // repeating items closed in a run that ended before rolling them forward open first.
    takeStartupCounts(
        state, view, query, window_.repeats(),
        [this](const QString& text) { tellUser(text, true); }, prefix);

    // Idle greeting when nothing else was said.
    if (view.bubbleText().isEmpty()) {
        std::mt19937 random(randomSeed(now));
        view.setBubbleText(prefix + QString::fromStdString(greetingPhrase(random())));
    }

    const QStringList skinErrors = window_.loadSkins();
    if (!skinErrors.isEmpty()) {
        tellUser(QStringLiteral("有皮肤文件无法载入，小秘书会少一些样子：\n") +
                     skinErrors.join(QLatin1Char('\n')),
                 false);
    }

    // The greeting sound: after her first frame, with the tray icon.

    window_.readconfig();

    if (services.launcher)
        services.launcher->open(state.apppath + QStringLiteral("Vexlar"), QStringLiteral("-s"));
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
    const bool trayPresent = window_.dockTrayIcon();
    // Without a tray she says once where her commands are, unless she has news to tell.
    if (!trayPresent && !window_.state().answering) {
        window_.view().setBubbleText(kNoTrayNote);
        window_.view().showInfo();
    }
    const FullScreenQuiet quiet(window_.services().activeWindow);
    Player* player = window_.services().player;
    if (player && quiet.soundAction(SoundReason::Message) == SoundAction::PlayNow)
        playsound(*player, window_.state().apppath, QStringLiteral("msg.mp3"), QString());
    // From here on messages show at once; these wait for the user, one after the other.
    pending_ = false;
    const auto messages = std::exchange(messages_, {});
    for (const auto& [text, isError] : messages) tellUser(text, isError);
}

}  // namespace plumo
