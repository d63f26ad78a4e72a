#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>

#include "app/fonts.h"
#include "companion/girl_window.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/single_instance.h"
#include "settings/autostart.h"
#include "sound/lazy_player.h"
#include "sound/qt_media_player.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plumo"));
    QApplication::setApplicationDisplayName(plumo::kApplicationTitle);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/plumo.png")));
    QApplication::setQuitOnLastWindowClosed(false);  // the companion's goodbye ends the program
    // Sound failures are silent by design; so is the media framework without a sound device.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    plumo::installFontSubstitutions();

    plumo::SingleInstanceGuard guard("PLUMO.EXE");
    plumo::DetachedProgramLauncher launcher;
    // The media framework starts with the first sound, after the window is on the screen.
    plumo::LazyPlayer player(&plumo::makeQtMediaPlayer);
    plumo::XdgAutostartStore autostart(QCoreApplication::applicationFilePath());
    plumo::CompanionServices services;
    services.launcher = &launcher;
    services.player = &player;
    services.autostart = &autostart;
    services.anotherCopyRunning = [&guard] { return guard.alreadyRunning(); };

    plumo::Tgirlfrm girlfrm(services);
    switch (girlfrm.FormCreate()) {
        case plumo::StartupResult::AnotherCopy:
            return 0;
        case plumo::StartupResult::DatabaseFailed:
            return 1;
        case plumo::StartupResult::Running:
            break;
    }
    girlfrm.showCentred();
    return QApplication::exec();
}
