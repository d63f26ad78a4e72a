#include "sound/sound_process_player.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "sound/sound_process_protocol.h"

namespace plumo {

namespace {

// After the sound process could not be started, sounds are skipped this long.
constexpr qint64 kRetryAfterFailedStartMs = 60000;

// In the child between fork and exec: no descriptor of the companion but the standard three
// is inherited, even one opened without close-on-exec.
void closeInheritedDescriptorsOnExec() {
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (limit > 0 && limit < 65536 ? limit : 65536); ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

}  // namespace

SoundProcessPlayer::SoundProcessPlayer(QString program, int idleMs)
    : program_(std::move(program)), idleMs_(idleMs) {}

SoundProcessPlayer::~SoundProcessPlayer() {
    if (!process_) return;
    process_->disconnect();
    // The sound process ends as soon as its input closes; QProcess reaps it.
    process_->closeWriteChannel();
    if (process_->state() != QProcess::NotRunning && !process_->waitForFinished(1000))
        process_->kill();
}

qint64 SoundProcessPlayer::processId() const {
    return process_ && process_->state() != QProcess::NotRunning ? process_->processId() : 0;
}

bool SoundProcessPlayer::ensureProcess() {
    if (process_ && process_->state() != QProcess::NotRunning) return true;
    if (cannotPlay_) return false;
    if (sinceFailedStart_.isValid() && sinceFailedStart_.elapsed() < kRetryAfterFailedStartMs)
        return false;
    if (process_) process_.release()->deleteLater();  // may be inside one of its signals
    process_ = std::make_unique<QProcess>();
    QProcess* process = process_.get();
    process->setProgram(program_);
    process->setArguments({QString::fromLatin1(kIdleOption), QString::number(idleMs_)});
    // Nothing is read back; its diagnostics go where the companion's go.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setChildProcessModifier(closeInheritedDescriptorsOnExec);
    QObject::connect(
        process, &QProcess::finished, process,
        [this](int exitCode, QProcess::ExitStatus status) { processFinished(exitCode, status); });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [this](QProcess::ProcessError error) { processFailed(error); });
    // Returns at once; writes before the process runs are kept until it does.
    process->start();
    return process->state() != QProcess::NotRunning;
}

void SoundProcessPlayer::send(const QByteArray& line) {
    process_->write(line + '\n');
    lastCommand_.start();
}

void SoundProcessPlayer::open(const QString& path) {
    played_ = false;
    openedPath_ = path.toUtf8();
    if (openedPath_.contains('\n') || openedPath_.isEmpty()) {
        // Not a path a command line can carry: no sound, but the one playing stops all the same.
        openedPath_.clear();
        if (processId() != 0) send(kCloseCommand);
        return;
    }
    resending_ = false;
    if (ensureProcess()) send(kOpenCommand + openedPath_);
}

void SoundProcessPlayer::play() {
    if (openedPath_.isEmpty() || processId() == 0) return;
    played_ = true;
    send(kPlayCommand);
}

void SoundProcessPlayer::close() {
    openedPath_.clear();
    played_ = false;
    if (processId() != 0) send(kCloseCommand);
}

void SoundProcessPlayer::processFinished(int exitCode, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit) return;  // crashed or killed: the next sound restarts it
    if (exitCode == kNoPlaybackExitCode) {
        cannotPlay_ = true;
        return;
    }
    // The process ends when idle for a while; commands written shortly before it ended were
    // never read. Those of the sound wanted last are sent once more, to a new process.
    const bool unread = lastCommand_.isValid() && lastCommand_.elapsed() < idleMs_;
    if (unread && played_ && !resending_ && !openedPath_.isEmpty()) {
        resending_ = true;
        if (ensureProcess()) {
            send(kOpenCommand + openedPath_);
            send(kPlayCommand);
        }
    }
}

void SoundProcessPlayer::processFailed(QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) sinceFailedStart_.start();
}

}  // namespace plumo
