// plumo-sound: the companion's sound process. Plays the sounds the companion sends on
// standard input (see sound_process_protocol.h) and ends by itself once idle, or at once when
// its input closes, so it never outlives the companion.

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <memory>

#include "sound/qt_media_player.h"
#include "sound/sound_process_protocol.h"

namespace {

// The optional trace of what the process does, for tests.
class Trace {
public:
    Trace() {
        const QString path = qEnvironmentVariable(plumo::kSoundTraceVariable);
        if (path.isEmpty()) return;
        file_ = std::make_unique<QFile>(path);
        if (!file_->open(QIODevice::Append | QIODevice::Unbuffered)) file_.reset();
    }
    void operator()(const QByteArray& line) {
        if (file_)
            file_->write(QByteArray::number(QCoreApplication::applicationPid()) + ' ' + line +
                         '\n');
    }

private:
    std::unique_ptr<QFile> file_;
};

}  // namespace

namespace {

// Plays what standard input asks for until idle or until the input closes.
int serve(QCoreApplication& app, Trace& trace, int idleMs) {
    if (!plumo::qtMediaPlaybackAvailable()) {
        trace("exit no playback");
        return plumo::kNoPlaybackExitCode;
    }
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(idleMs);
    QObject::connect(&idle, &QTimer::timeout, &app, [&] {
        trace("exit idle");
        app.quit();
    });
    // After the timer, so that the player's last signals, when it is destroyed, find it.
    plumo::QtMediaPlayer player;
    QMediaPlayer& media = player.mediaPlayer();
    QObject::connect(&media, &QMediaPlayer::playbackStateChanged, &app,
                     [&](QMediaPlayer::PlaybackState state) {
                         const bool playing = state == QMediaPlayer::PlayingState;
                         trace(playing ? "playing" : "stopped");
                         if (playing)
                             idle.stop();
                         else
                             idle.start();
                     });
    idle.start();

    auto run = [&](const QByteArray& line) {
        trace("command " + line);
        if (line.startsWith(plumo::kOpenCommand))
            player.open(QString::fromUtf8(line.mid(qsizetype(sizeof plumo::kOpenCommand) - 1)));
        else if (line == plumo::kPlayCommand)
            player.play();
        else if (line == plumo::kCloseCommand)
            player.close();
    };

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (count <= 0) {
            // The companion ended or let go of us: so do we, sound or not.
            input.setEnabled(false);
            trace("exit input closed");
            app.quit();
            return;
        }
        pending.append(buffer, count);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            run(line);
        }
        if (media.playbackState() != QMediaPlayer::PlayingState) idle.start();
    });
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Sound failures are silent by design; so is the media framework without a sound device.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    Trace trace;
    trace("started");
    int idleMs = plumo::kSoundProcessIdleMs;
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype option = arguments.indexOf(QString::fromLatin1(plumo::kIdleOption));
    if (option > 0 && option + 1 < arguments.size()) {
        bool ok = false;
        const int value = arguments[option + 1].toInt(&ok);
        if (ok && value > 0) idleMs = value;
    }
    const int exitCode = serve(app, trace, idleMs);
    trace("ended");
    return exitCode;
}
