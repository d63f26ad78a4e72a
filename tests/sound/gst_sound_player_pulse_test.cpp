// The real player on GStreamer playing into a PulseAudio null sink, recorded from the
// sink's monitor. Skipped where PulseAudio cannot be started.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "observed_gst_player.h"
#include "sound/gst_sound_player.h"
#include "sound/playsound.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);
constexpr int kBoundMs = 15000;
constexpr int kRecordRate = 22050;

// Stretches of sound well above silence, as lengths in milliseconds, in 10 ms windows.
// Gaps shorter than 50 ms (a late buffer of the sound server) do not split a stretch.
std::vector<int> loudStretchesMs(const QByteArray& pcm) {
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    const qsizetype window = kRecordRate / 100;
    std::vector<int> stretches;
    int length = 0;  // of the stretch being read, up to its last loud window
    int quiet = 0;   // windows since its last loud window
    for (qsizetype start = 0; start + window <= count; start += window) {
        int peak = 0;
        for (qsizetype i = start; i < start + window; ++i) {
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        if (peak > 3000) {
            length += length > 0 ? 10 * (quiet + 1) : 10;
            quiet = 0;
        } else if (length > 0 && ++quiet == 5) {
            stretches.push_back(length);
            length = 0;
            quiet = 0;
        }
    }
    if (length > 0) stretches.push_back(length);
    return stretches;
}

class PulseNullSinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable("parec").isEmpty()) {
            skipReason_ = "pulseaudio or parec is not installed";
            return;
        }
        runtime_ = std::make_unique<test::TempDir>();
        const QString folder = QString::fromStdString(runtime_->path().string());
        socket_ = folder + "/native";

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", folder);
        environment.insert("HOME", folder);
        server_ = std::make_unique<QProcess>();
        server_->setProcessEnvironment(environment);
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The server ends by itself ten seconds after its last client, should this test die.
        server_->start(pulseaudio,
                       {"-n", "--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no",
                        "--log-level=error",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_,
                        "--load=module-null-sink sink_name=nullsink"});
        const bool up = server_->waitForStarted(5000) &&
                        QTest::qWaitFor([] { return QFileInfo::exists(socket_); }, kBoundMs);
        if (!up) {
            skipReason_ = "pulseaudio did not start";
            return;
        }
        // Before any sound plays in this process.
        qputenv("PULSE_SERVER", ("unix:" + socket_).toUtf8());
    }

    static void TearDownTestSuite() {
        if (server_) {
            server_->terminate();
            if (!server_->waitForFinished(5000)) server_->kill();
            server_->waitForFinished(5000);
        }
        server_.reset();
        runtime_.reset();
    }

    void SetUp() override {
        if (!skipReason_.isEmpty()) GTEST_SKIP() << skipReason_.toStdString();
        ASSERT_TRUE(GstSoundPlayer::playbackAvailable());
    }

    // Records the null sink's monitor as 16-bit mono samples until stopped.
    void startRecording() {
        recorder_.start("parec", {"--server=unix:" + socket_, "-d", "nullsink.monitor", "--raw",
                                  "--format=s16le", "--rate=" + QString::number(kRecordRate),
                                  "--channels=1", "--latency-msec=20"});
        ASSERT_TRUE(recorder_.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return recorder_.bytesAvailable() > 0; }, kBoundMs))
            << "parec records nothing";
    }
    QByteArray recorded() {
        recording_ += recorder_.readAllStandardOutput();
        return recording_;
    }
    void TearDown() override {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.terminate();
            if (!recorder_.waitForFinished(5000)) recorder_.kill();
        }
    }

    QProcess recorder_;
    QByteArray recording_;
    static inline QString skipReason_;
    static inline QString socket_;
    static inline std::unique_ptr<test::TempDir> runtime_;
    static inline std::unique_ptr<QProcess> server_;
};

TEST_F(PulseNullSinkTest, AShippedClipPlaysToItsEnd) {
    startRecording();
    test::ObservedGstPlayer player;

    playsound(player, kShippedFolder, "dingding.mp3", "");
    ASSERT_TRUE(
        test::waitWithGLib([&] { return player.lastIs(GstSoundPlayer::Event::Ended); }, kBoundMs));
    EXPECT_TRUE(player.pathsWith(GstSoundPlayer::Event::Failed).isEmpty());

    // Both beeps of the clip reach the sink, whole.
    EXPECT_TRUE(QTest::qWaitFor([&] { return loudStretchesMs(recorded()).size() >= 2; }, kBoundMs));
    QTest::qWait(300);  // anything more would show after the end of the clip
    const std::vector<int> beeps = loudStretchesMs(recorded());
    ASSERT_EQ(beeps.size(), 2u);
    for (int length : beeps) {
        EXPECT_GE(length, 100);
        EXPECT_LE(length, 200);
    }
}

}  // namespace
}  // namespace plumo
