#include <QApplication>

#include "app/fonts.h"
#include "companion/girl_window.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plumo"));
    QApplication::setApplicationDisplayName(plumo::kApplicationTitle);
    QApplication::setQuitOnLastWindowClosed(false);  // the companion's goodbye ends the program
    plumo::installFontSubstitutions();

    plumo::SingleInstanceGuard guard("PLUMO.EXE");
    plumo::DetachedProgramLauncher launcher;
    plumo::CompanionServices services;
    services.launcher = &launcher;
    services.anotherCopyRunning = [&guard] { return guard.alreadyRunning(); };

    plumo::Tgirlfrm girlfrm(services);
    if (!girlfrm.FormCreate()) return 0;
    girlfrm.showCentred();
    return QApplication::exec();
}
