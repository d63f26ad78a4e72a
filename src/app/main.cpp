#include <fontconfig/fontconfig.h>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/display_platform.h"
#include "app/fonts.h"
#include "app/instance_requests.h"
#include "companion/girl_window.h"
#include "image/png_decoder.h"
#include "image/qt_image.h"
#include "platform/linux/command_system_shutdown.h"
#include "platform/linux/proc_table.h"
#include "platform/linux/single_instance.h"
#include "platform/linux/x11_active_window_watch.h"
#include "platform/linux/xdg_autostart_store.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "settings/data_folder.h"
#include "sound/sound_process_player.h"
#include "sound/sound_process_protocol.h"

namespace {

// A picture built into the program, read with our own PNG decoder: Qt's image reader would
// first load every image format plugin installed, which shows in the time to her first frame.
QImage builtInPicture(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    try {
        return plumo::toQImage(
            plumo::decodePngBytes(file.readAll().toStdString(), file.fileName().toStdString()));
    } catch (const plumo::ImageError&) {
        return {};  // built into the program: cannot happen short of a broken build
    }
}

// The program's icon; with its picture at twice the size where a screen has more than one
// device pixel per pixel.
QIcon programIcon() {
    const QImage picture = builtInPicture(QStringLiteral(":/icon/plumo.png"));
    if (picture.isNull()) return {};
    QIcon icon(QPixmap::fromImage(picture));
    if (qApp->devicePixelRatio() > 1.0) {
        QImage doubled = builtInPicture(QStringLiteral(":/icon/plumo@2x.png"));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2.0);
            icon.addPixmap(QPixmap::fromImage(doubled));
        }
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    const plumo::DisplayPlatformChoice display = plumo::chooseDisplayPlatform(std::getenv);
    if (!display.error.empty()) {
        std::fprintf(stderr, "%s\n", display.error.c_str());
        return 1;
    }
    if (!display.platform.empty()) qputenv("QT_QPA_PLATFORM", display.platform.c_str());
    // Her blinking redraws a few hundred pixels: sent as plain requests they cost the X
    // server and her nothing more, while shared-memory images answer every frame with an
    // event that wakes her up.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Fontconfig reads its configuration, some fifty files, when Qt first needs a font;
    // reading it on the other core while Qt connects to the display shortens the start.
    std::thread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plumo"));
    // No display name: Qt would append it to every window title ("设置 — Plumo小秘书").
    QApplication::setWindowIcon(programIcon());
    QApplication::setQuitOnLastWindowClosed(false);  // the companion's goodbye ends the program
    fontConfiguration.join();
    plumo::installFontSubstitutions();

    plumo::SingleInstanceGuard guard("PLUMO.EXE");
    plumo::DetachedProgramLauncher launcher;
    plumo::ProcTable processes;
    plumo::CommandSystemShutdown shutdown;
    // Sounds play in a process of their own, started with a sound and ending when idle, so
    // that the media framework does not stay in the companion.
    plumo::SoundProcessPlayer player(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                     plumo::kSoundProcessProgram);
    // Her settings, memo items and outfit: beside her, or in the user's own folder when
    // she is installed for everyone.
    plumo::DataFolder data;
    try {
        data = plumo::openDataFolder(QCoreApplication::applicationDirPath().toStdString());
    } catch (const plumo::DataFolderError& e) {
        plumo::currentMessageBoxes().error(QString::fromUtf8(e.what()));
        return 1;
    }
    plumo::XdgAutostartStore autostart(QString::fromStdString(
        plumo::stableExecutable(data, QCoreApplication::applicationFilePath().toStdString())
            .string()));
    plumo::CompanionServices services;
    services.launcher = &launcher;
    services.processes = &processes;
    services.shutdown = &shutdown;
    services.player = &player;
    services.autostart = &autostart;
    services.dataFolder = QString::fromStdString(data.folder.string());
    services.anotherCopyRunning = [&guard] { return guard.alreadyRunning(); };
    // She keeps quiet under another program's full-screen window on her screen.
    plumo::X11ActiveWindowWatch activeWindow;
    services.activeWindow = &activeWindow;

    plumo::Tgirlfrm girlfrm(services);
    activeWindow.setReferenceWindow(&girlfrm);
    switch (girlfrm.FormCreate()) {
        case plumo::StartupResult::AnotherCopy:
            guard.sendRequest(plumo::kShowRequest);  // started again: she shows if hidden
            return 0;
        case plumo::StartupResult::DatabaseFailed:
            return 1;
        case plumo::StartupResult::Running:
            break;
    }
    girlfrm.showCentred();
    plumo::InstanceRequestListener requests(guard, [&girlfrm](const std::string& request) {
        if (request == plumo::kShowRequest && !girlfrm.isShown()) girlfrm.toggleShown();
    });
    return QApplication::exec();
}
