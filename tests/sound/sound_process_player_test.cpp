// The companion's player against the real sound process of the build, which reports what it
// does in a trace file. No sound server is reachable, so sounds play silently.

#include "sound/sound_process_player.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QTest>
#include <QtEndian>

#include "sound/sound_process_protocol.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);
const QString kSoundProcess = QStringLiteral(PLUMO_SOUND_PROCESS);
constexpr int kBoundMs = 15000;
constexpr int kTestIdleMs = 500;
// Where GStreamer looks for its plugins, and the cache of what it found.
constexpr const char* kPluginVariables[] = {"GST_PLUGIN_SYSTEM_PATH_1_0", "GST_PLUGIN_PATH_1_0",
                                            "GST_REGISTRY_1_0"};

// A WAV file of `seconds` of silence, 8 kHz mono 8-bit.
QByteArray silentWave(int seconds) {
    const quint32 samples = 8000u * quint32(seconds);
    auto le32 = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    auto le16 = [](quint16 value) {
        QByteArray bytes(2, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    return "RIFF" + le32(36 + samples) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) +
           le32(8000) + le16(1) + le16(8) + "data" + le32(samples) +
           QByteArray(qsizetype(samples), char(0x80));
}

struct TraceLine {
    QByteArray pid;
    QByteArray event;
};

class SoundProcessPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("PULSE_SERVER", "unix:/nonexistent/plumo-no-sound-server");
        qputenv(kSoundTraceVariable, traceFile().toUtf8());
        folder.write("long.wav", silentWave(30).toStdString());
    }
    void TearDown() override {
        qunsetenv(kSoundTraceVariable);
        for (const char* variable : kPluginVariables) qunsetenv(variable);
    }

    QString traceFile() const { return QString::fromStdString((folder / "trace").string()); }
    QString longClip() const { return QString::fromStdString((folder / "long.wav").string()); }
    QString shortClip() const { return kShippedFolder + "sound/dingding.mp3"; }

    std::vector<TraceLine> trace() const {
        std::vector<TraceLine> lines;
        QFile file(traceFile());
        if (!file.open(QIODevice::ReadOnly)) return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const qsizetype space = line.indexOf(' ');
            if (space > 0) lines.push_back({line.left(space), line.mid(space + 1)});
        }
        return lines;
    }
    // How often `pid` (any process when empty) traced `event`.
    int count(const QByteArray& event, const QByteArray& pid = {}) const {
        int found = 0;
        for (const TraceLine& line : trace())
            found += line.event == event && (pid.isEmpty() || line.pid == pid);
        return found;
    }
    bool waitFor(const QByteArray& event, int times = 1, const QByteArray& pid = {}) const {
        return QTest::qWaitFor([&] { return count(event, pid) >= times; }, kBoundMs);
    }

    void playLong() {
        player.open(longClip());
        player.play();
    }

    test::TempDir folder;
    // A short idle time, so that the tests need not wait out the real one.
    SoundProcessPlayer player{kSoundProcess, kTestIdleMs};
};

TEST_F(SoundProcessPlayerTest, StartsWithTheFirstSoundAndANewSoundCutsOffTheOneThatPlays) {
    EXPECT_EQ(player.processId(), 0);
    playLong();
    const QByteArray pid = QByteArray::number(player.processId());
    ASSERT_NE(pid, "0");
    ASSERT_TRUE(waitFor("playing", 1, pid));

    player.open(shortClip());
    player.play();
    ASSERT_TRUE(waitFor("playing", 2, pid));
    // The long clip stopped when the next was opened, in the same process.
    std::vector<QByteArray> events;
    for (const TraceLine& line : trace()) {
        EXPECT_EQ(line.pid, pid);
        events.push_back(line.event);
    }
    const auto opened =
        std::find(events.begin(), events.end(), "command open " + shortClip().toUtf8());
    ASSERT_NE(opened, events.end());
    const std::vector<QByteArray> next(opened + 1, events.end());
    ASSERT_GE(next.size(), 3u);
    EXPECT_EQ(next[0], "stopped");
    EXPECT_EQ(next[1], "command play");
    EXPECT_EQ(next[2], "playing");
    EXPECT_EQ(count("started"), 1);
}

TEST_F(SoundProcessPlayerTest, APathWithANewlineIsNotSentButStopsTheSound) {
    playLong();
    ASSERT_TRUE(waitFor("playing"));
    player.open(longClip() + "\nplay");
    player.play();
    ASSERT_TRUE(waitFor("stopped"));
    EXPECT_EQ(count("command close"), 1);
    EXPECT_EQ(count("command play"), 1);
    EXPECT_EQ(count("command open " + longClip().toUtf8()), 1);
}

TEST_F(SoundProcessPlayerTest, EndsByItselfWhenIdleAndTheNextSoundStartsItAgain) {
    player.open(shortClip());
    player.play();
    const QByteArray first = QByteArray::number(player.processId());
    ASSERT_TRUE(waitFor("playing", 1, first));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.processId() == 0; }, kTestIdleMs + kBoundMs));
    EXPECT_EQ(count("exit idle", first), 1);

    player.open(shortClip());
    player.play();
    const QByteArray second = QByteArray::number(player.processId());
    EXPECT_NE(second, first);
    EXPECT_TRUE(waitFor("playing", 1, second));
}

TEST_F(SoundProcessPlayerTest, EndsAtOnceWhenTheCompanionLetsGo) {
    auto companion = std::make_unique<SoundProcessPlayer>(kSoundProcess);
    companion->open(longClip());
    companion->play();
    ASSERT_TRUE(waitFor("playing"));
    companion.reset();
    // Both traced before the player let go, so the process was not killed; it ended cleanly.
    EXPECT_EQ(count("exit input closed"), 1);
    EXPECT_EQ(count("ended"), 1);
}

TEST_F(SoundProcessPlayerTest, AKilledProcessIsStartedAgainWithTheNextSound) {
    playLong();
    const qint64 killed = player.processId();
    ASSERT_TRUE(waitFor("playing"));
    ASSERT_EQ(::kill(pid_t(killed), SIGKILL), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.processId() == 0; }, kBoundMs));

    playLong();
    const qint64 restarted = player.processId();
    EXPECT_NE(restarted, 0);
    EXPECT_NE(restarted, killed);
    EXPECT_TRUE(waitFor("playing", 1, QByteArray::number(restarted)));
}

TEST_F(SoundProcessPlayerTest, WithoutPlaybackTheProcessIsNotStartedAgain) {
    // GStreamer without any plugin, and with a registry of its own so the user's stays whole.
    folder.write("no-plugins/.keep", "");
    const QByteArray empty = QString::fromStdString((folder / "no-plugins").string()).toUtf8();
    qputenv("GST_PLUGIN_SYSTEM_PATH_1_0", empty);
    qputenv("GST_PLUGIN_PATH_1_0", empty);
    qputenv("GST_REGISTRY_1_0",
            QString::fromStdString((folder / "registry.bin").string()).toUtf8());
    playLong();
    ASSERT_TRUE(waitFor("exit no playback"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.processId() == 0; }, kBoundMs));
    playLong();
    EXPECT_EQ(player.processId(), 0);
    EXPECT_EQ(count("started"), 1);
}

TEST_F(SoundProcessPlayerTest, AMissingProgramIsSilent) {
    SoundProcessPlayer missing(QString::fromStdString((folder / "plumo-sound").string()));
    missing.open(shortClip());
    missing.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return missing.processId() == 0; }, kBoundMs));
    missing.open(shortClip());
    missing.play();
    missing.close();
    EXPECT_EQ(missing.processId(), 0);  // not tried again so soon
    EXPECT_EQ(count("started"), 0);
}

}  // namespace
}  // namespace plumo
