// The real player from its module, as the program makes it with the first sound; also on
// machines where Qt Multimedia cannot play: no back end, a missing one named by
// QT_MEDIA_BACKEND, the FFmpeg back end without an audio output. Qt chooses its back end
// once per process, so each machine is a child run of this test program; a child that Qt
// aborts or that crashes fails its case.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

#include "sound/lazy_player.h"
#include "sound/media_player_module.h"
#include "sound/playsound.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);
const QString kModule = QStringLiteral(PLUMO_MEDIA_PLAYER_MODULE);
constexpr char kChildVariable[] = "PLUMO_MEDIA_MODULE_CHILD";
constexpr char kChildTest[] = "MediaPlayerModuleChild.PlaysAsTheProgramDoes";

// What the program does at start-up, on whatever back end the environment selects.
TEST(MediaPlayerModuleChild, PlaysAsTheProgramDoes) {
    if (!qEnvironmentVariableIsSet(kChildVariable)) GTEST_SKIP() << "run by the cases below";
    LazyPlayer player([] { return loadMediaPlayer(kModule); });
    playsound(player, kShippedFolder, "msg.mp3", "");
    QTest::qWait(300);  // let playback start, and any crash of the back end happen
    std::printf("real player: %s\n", player.realPlayer() ? "made" : "none");
    std::fflush(stdout);
}

struct ChildRun {
    bool ranToTheEnd = false;
    int exitCode = -1;
    QString output;
};

ChildRun runChild(const QStringList& settings) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kChildVariable, "1");
    // No sound server: no audio output for any back end.
    environment.insert("PULSE_SERVER", "unix:/nonexistent/plumo-no-sound-server");
    for (const QString& setting : settings)
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + kChildTest});
    ChildRun run;
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
        run.output = QStringLiteral("(did not finish)");
        return run;
    }
    run.ranToTheEnd = child.exitStatus() == QProcess::NormalExit;
    run.exitCode = child.exitCode();
    run.output = QString::fromLocal8Bit(child.readAll());
    return run;
}

TEST(MediaPlayerModule, WithoutAUsableBackEndTheProgramRunsOnSilently) {
    const QStringList machines[] = {
        {"QT_MEDIA_BACKEND=none"},
        {"QT_MEDIA_BACKEND=no-such-backend"},
        {"QT_MEDIA_BACKEND=ffmpeg"},  // crashes without an audio output
    };
    for (const QStringList& settings : machines) {
        const ChildRun run = runChild(settings);
        const std::string label = settings.join(' ').toStdString();
        EXPECT_TRUE(run.ranToTheEnd) << label << "\n" << run.output.toStdString();
        EXPECT_EQ(run.exitCode, 0) << label << "\n" << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("real player: none")) << label << "\n"
                                                              << run.output.toStdString();
    }
}

TEST(MediaPlayerModule, GStreamerPlaysWithoutAnAudioOutput) {
    const ChildRun run = runChild({"QT_MEDIA_BACKEND=gstreamer"});
    EXPECT_TRUE(run.ranToTheEnd) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("real player: made")) << run.output.toStdString();
}

TEST(MediaPlayerModule, AMissingOrBrokenModuleMakesNoPlayer) {
    test::TempDir folder;
    folder.write("plumo_media_player.so", "not a library");
    const QString broken = QString::fromStdString((folder / "plumo_media_player.so").string());
    const QString missing = QString::fromStdString((folder / "nowhere.so").string());
    for (const QString& module : {broken, missing}) {
        EXPECT_EQ(loadMediaPlayer(module), nullptr) << module.toStdString();
        LazyPlayer player([&module] { return loadMediaPlayer(module); });
        EXPECT_NO_THROW(playsound(player, kShippedFolder, "msg.mp3", ""));
        EXPECT_EQ(player.realPlayer(), nullptr);
    }
}

}  // namespace
}  // namespace plumo
