#pragma once

// The companion's player: the sounds play in a short-lived process of their own,
// "plumo-sound", so that the media framework is loaded only while sounds play. The process
// starts with the first sound after it ended; commands are written to it without ever
// waiting for it. Every failure is silent: a missing or crashed process, or a machine that
// cannot play sounds, only means no sound.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <memory>

#include "sound/player.h"
#include "sound/sound_process_protocol.h"

namespace plumo {

// The sound process's file name in the program folder.
inline const QString kSoundProcessProgram = QStringLiteral("plumo-sound");

class SoundProcessPlayer final : public Player {
public:
    // `program` is the sound process's executable, e.g. the program folder's "plumo-sound".
    // `idleMs`: how long the process stays without a sound before it ends.
    explicit SoundProcessPlayer(QString program, int idleMs = kSoundProcessIdleMs);
    ~SoundProcessPlayer() override;
    SoundProcessPlayer(const SoundProcessPlayer&) = delete;
    SoundProcessPlayer& operator=(const SoundProcessPlayer&) = delete;

    void open(const QString& path) override;
    void play() override;
    void close() override;

    // The running sound process's id; 0 when none runs.
    qint64 processId() const;

private:
    // Starts the sound process unless it runs or must not be started now; whether it runs.
    bool ensureProcess();
    void send(const QByteArray& line);
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processFailed(QProcess::ProcessError error);

    QString program_;
    int idleMs_;
    std::unique_ptr<QProcess> process_;
    QByteArray openedPath_;  // UTF-8; empty when no sound is open
    bool played_ = false;    // the opened sound was sent "play"
    QElapsedTimer lastCommand_;
    bool cannotPlay_ = false;         // the process found no way to play: for good
    QElapsedTimer sinceFailedStart_;  // valid after a failed start
    bool resending_ = false;
};

}  // namespace plumo
