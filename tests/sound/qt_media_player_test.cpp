// The real player on Qt Multimedia, on a machine without any audio device.

#include "sound/qt_media_player.h"

#include <gtest/gtest.h>

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QEventLoop>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "sound/playsound.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

// The program folder of the source tree: its sound/ folder holds the shipped clips.
const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);
constexpr int kPlaybackBoundMs = 15000;

class QtMediaPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No sound server to reach: the player must work without any audio device.
        qputenv("PULSE_SERVER", "unix:/nonexistent/plumo-no-sound-server");
    }

    bool waitForStatus(QMediaPlayer::MediaStatus status) {
        return QTest::qWaitFor([&] { return player.mediaPlayer().mediaStatus() == status; },
                               kPlaybackBoundMs);
    }

    test::RecordingMessageBoxes boxes;
    QtMediaPlayer player;
};

TEST_F(QtMediaPlayerTest, PlaysAShippedClipToItsEndWithoutAnAudioDevice) {
    ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty()) << "this test needs no audio device";

    playsound(player, kShippedFolder, "dingding.mp3", "");

    EXPECT_TRUE(waitForStatus(QMediaPlayer::EndOfMedia));
    EXPECT_EQ(player.mediaPlayer().error(), QMediaPlayer::NoError)
        << player.mediaPlayer().errorString().toStdString();
    EXPECT_EQ(player.mediaPlayer().source(),
              QUrl::fromLocalFile(kShippedFolder + "sound/dingding.mp3"));
    EXPECT_TRUE(boxes.errors.isEmpty() && boxes.informations.isEmpty());
}

TEST_F(QtMediaPlayerTest, BrokenOrMissingFilesAreSilentAndTheNextSoundStillPlays) {
    test::TempDir dir;
    dir.write("sound/msg.mp3", "this is no MP3 file");
    const QString brokenFolder = QString::fromStdString(dir.path().string()) + "/";

    playsound(player, brokenFolder, "msg.mp3", "");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return player.mediaPlayer().mediaStatus() == QMediaPlayer::InvalidMedia ||
                   player.mediaPlayer().error() != QMediaPlayer::NoError;
        },
        kPlaybackBoundMs));
    playsound(player, brokenFolder, "reminder.mp3", "");
    playsound(player, brokenFolder + "nowhere/", "13.mp3", "vr/");
    QTest::qWait(50);  // let any late error arrive

    playsound(player, kShippedFolder, "dingding.mp3", "");
    EXPECT_TRUE(waitForStatus(QMediaPlayer::EndOfMedia));
    EXPECT_TRUE(boxes.errors.isEmpty() && boxes.informations.isEmpty());
}

TEST_F(QtMediaPlayerTest, ANewSoundCutsOffTheOneBefore) {
    QList<QUrl> ended;
    QObject::connect(&player.mediaPlayer(), &QMediaPlayer::mediaStatusChanged,
                     [&](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia) {
                             ended << player.mediaPlayer().source();
                         }
                     });
    playsound(player, kShippedFolder, "reminder.mp3", "");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player.mediaPlayer().position() > 100; }, kPlaybackBoundMs));

    playsound(player, kShippedFolder, "dingding.mp3", "");
    EXPECT_TRUE(waitForStatus(QMediaPlayer::EndOfMedia));
    QTest::qWait(50);
    EXPECT_EQ(ended, QList<QUrl>{QUrl::fromLocalFile(kShippedFolder + "sound/dingding.mp3")});
}

TEST_F(QtMediaPlayerTest, TheSameClipAgainStartsFromItsBeginning) {
    playsound(player, kShippedFolder, "reminder.mp3", "");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player.mediaPlayer().position() > 400; }, kPlaybackBoundMs));

    QList<qint64> positions;
    QObject::connect(&player.mediaPlayer(), &QMediaPlayer::positionChanged,
                     [&](qint64 position) { positions << position; });
    playsound(player, kShippedFolder, "reminder.mp3", "");
    EXPECT_TRUE(waitForStatus(QMediaPlayer::EndOfMedia));

    // It went back to the start and then through the part it had already played.
    const auto rewound =
        std::find_if(positions.begin(), positions.end(), [](qint64 p) { return p < 200; });
    ASSERT_NE(rewound, positions.end());
    EXPECT_TRUE(std::any_of(rewound, positions.end(), [](qint64 p) { return p > 400; }));
}

// Every clip the program may play is shipped and decodes to sound of a fitting length.
TEST(ShippedSounds, EveryClipDecodes) {
    struct Clip {
        QString relative;
        double minSeconds;
        double maxSeconds;
    };
    std::vector<Clip> clips{
        {"msg.mp3", 0.3, 2.0}, {"reminder.mp3", 0.5, 3.0}, {"dingding.mp3", 0.2, 1.5}};
    for (int hour = 0; hour < 24; ++hour) {
        for (const char* pack : {"vr/", "pc/"}) {
            clips.push_back({pack + QString::number(hour) + ".mp3", 1.0, 5.0});
        }
    }
    for (const Clip& clip : clips) {
        QAudioDecoder decoder;
        decoder.setSource(QUrl::fromLocalFile(kShippedFolder + "sound/" + clip.relative));
        qint64 frames = 0;
        int sampleRate = 0;
        float peak = 0;
        QEventLoop loop;
        QObject::connect(&decoder, &QAudioDecoder::bufferReady, [&] {
            const QAudioBuffer buffer = decoder.read();
            frames += buffer.frameCount();
            sampleRate = buffer.format().sampleRate();
            const QAudioFormat format = buffer.format();
            const char* data = buffer.constData<char>();
            for (qsizetype i = 0; i < buffer.sampleCount(); ++i) {
                peak = std::max(
                    peak,
                    std::abs(format.normalizedSampleValue(data + i * format.bytesPerSample())));
            }
        });
        // An event loop rather than polling: the decoder hands over many small buffers.
        bool done = false;
        QObject::connect(&decoder, &QAudioDecoder::finished, [&] {
            done = true;
            loop.quit();
        });
        QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), [&] {
            done = true;
            loop.quit();
        });
        QTimer::singleShot(kPlaybackBoundMs, &loop, &QEventLoop::quit);
        decoder.start();
        if (!done) loop.exec();
        ASSERT_TRUE(done) << clip.relative.toStdString() << " did not finish decoding";

        EXPECT_EQ(decoder.error(), QAudioDecoder::NoError) << clip.relative.toStdString();
        ASSERT_GT(sampleRate, 0) << clip.relative.toStdString();
        const double seconds = double(frames) / sampleRate;
        EXPECT_GE(seconds, clip.minSeconds) << clip.relative.toStdString();
        EXPECT_LE(seconds, clip.maxSeconds) << clip.relative.toStdString();
        EXPECT_GT(peak, 0.5f) << clip.relative.toStdString() << " is nearly silent";
    }
}

}  // namespace
}  // namespace plumo
