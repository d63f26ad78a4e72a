// The real player on GStreamer, on a machine without any audio device.

#include "sound/gst_sound_player.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "observed_gst_player.h"
#include "sound/playsound.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

using Event = GstSoundPlayer::Event;

// The program folder of the source tree: its sound/ folder holds the shipped clips.
const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);
constexpr int kPlaybackBoundMs = 15000;

class GstSoundPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No sound server to reach: the player must work without any audio device.
        qputenv("PULSE_SERVER", "unix:/nonexistent/plumo-no-sound-server");
    }
    void SetUp() override { ASSERT_TRUE(GstSoundPlayer::playbackAvailable()); }

    bool waitForLast(Event event) {
        return test::waitWithGLib([&] { return player.lastIs(event); }, kPlaybackBoundMs);
    }

    test::RecordingMessageBoxes boxes;
    test::ObservedGstPlayer player;
};

TEST_F(GstSoundPlayerTest, PlaysAShippedClipToItsEndWithoutAnAudioDevice) {
    playsound(player, kShippedFolder, "dingding.mp3", "");

    EXPECT_TRUE(waitForLast(Event::Ended));
    const QString clip = kShippedFolder + "sound/dingding.mp3";
    EXPECT_EQ(player.pathsWith(Event::Started), QStringList{clip});
    EXPECT_EQ(player.pathsWith(Event::Ended), QStringList{clip});
    EXPECT_TRUE(player.pathsWith(Event::Failed).isEmpty());
    EXPECT_FALSE(player.player().playing());
    EXPECT_TRUE(boxes.errors.isEmpty() && boxes.informations.isEmpty());
}

TEST_F(GstSoundPlayerTest, BrokenOrMissingFilesAreSilentAndTheNextSoundStillPlays) {
    test::TempDir dir;
    dir.write("sound/msg.mp3", "this is no MP3 file");
    const QString brokenFolder = QString::fromStdString(dir.path().string()) + "/";

    playsound(player, brokenFolder, "msg.mp3", "");
    EXPECT_TRUE(waitForLast(Event::Failed));
    playsound(player, brokenFolder, "reminder.mp3", "");
    playsound(player, brokenFolder + "nowhere/", "13.mp3", "vr/");
    EXPECT_TRUE(waitForLast(Event::Failed));
    EXPECT_EQ(player.pathsWith(Event::Failed),
              (QStringList{brokenFolder + "sound/msg.mp3", brokenFolder + "sound/reminder.mp3",
                           brokenFolder + "nowhere/sound/pc/13.mp3"}));

    playsound(player, kShippedFolder, "dingding.mp3", "");
    EXPECT_TRUE(waitForLast(Event::Ended));
    EXPECT_TRUE(boxes.errors.isEmpty() && boxes.informations.isEmpty());
}

TEST_F(GstSoundPlayerTest, ANewSoundCutsOffTheOneBefore) {
    playsound(player, kShippedFolder, "reminder.mp3", "");
    ASSERT_TRUE(
        test::waitWithGLib([&] { return player.player().positionMs() > 100; }, kPlaybackBoundMs));

    playsound(player, kShippedFolder, "dingding.mp3", "");
    EXPECT_TRUE(waitForLast(Event::Ended));
    EXPECT_EQ(player.pathsWith(Event::Stopped), QStringList{kShippedFolder + "sound/reminder.mp3"});
    EXPECT_EQ(player.pathsWith(Event::Ended), QStringList{kShippedFolder + "sound/dingding.mp3"});
}

TEST_F(GstSoundPlayerTest, TheSameClipAgainStartsFromItsBeginning) {
    playsound(player, kShippedFolder, "reminder.mp3", "");
    ASSERT_TRUE(
        test::waitWithGLib([&] { return player.player().positionMs() > 400; }, kPlaybackBoundMs));

    std::vector<std::int64_t> positions;
    playsound(player, kShippedFolder, "reminder.mp3", "");
    EXPECT_TRUE(test::waitWithGLib(
        [&] {
            if (player.player().playing()) positions.push_back(player.player().positionMs());
            return player.lastIs(Event::Ended);
        },
        kPlaybackBoundMs));

    // It went back to the start and then through the part it had already played.
    const auto rewound = std::find_if(positions.begin(), positions.end(),
                                      [](std::int64_t p) { return p >= 0 && p < 200; });
    ASSERT_NE(rewound, positions.end());
    EXPECT_TRUE(std::any_of(rewound, positions.end(), [](std::int64_t p) { return p > 400; }));
}

TEST_F(GstSoundPlayerTest, CloseStopsTheSoundAndPlayWithoutASoundDoesNothing) {
    playsound(player, kShippedFolder, "reminder.mp3", "");
    ASSERT_TRUE(player.player().playing());
    player.close();
    EXPECT_FALSE(player.player().playing());
    EXPECT_TRUE(player.lastIs(Event::Stopped));

    player.play();
    EXPECT_FALSE(player.player().playing());
    EXPECT_EQ(player.events.size(), 2u);
}

// Decodes a file with GStreamer to mono samples; what it holds.
struct Decoded {
    bool finished = false;
    bool failed = false;
    std::int64_t frames = 0;
    int sampleRate = 0;
    float peak = 0;
};

Decoded decode(const QString& path) {
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=source ! decodebin ! audioconvert ! audio/x-raw,format=F32LE,channels=1 "
        "! fakesink name=sink sync=false signal-handoffs=true",
        nullptr);
    Decoded decoded;
    if (!pipeline) return decoded;
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    g_object_set(source, "location", path.toUtf8().constData(), nullptr);
    std::mutex mutex;  // buffers arrive on the streaming thread
    struct Context {
        Decoded* decoded;
        std::mutex* mutex;
    } context{&decoded, &mutex};
    auto onBuffer = +[](GstElement*, GstBuffer* buffer, GstPad* pad, gpointer data) {
        auto* context = static_cast<Context*>(data);
        const std::lock_guard lock(*context->mutex);
        if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
            gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate",
                                  &context->decoded->sampleRate);
            gst_caps_unref(caps);
        }
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
        const auto* samples = reinterpret_cast<const float*>(map.data);
        const std::size_t count = map.size / sizeof(float);
        context->decoded->frames += std::int64_t(count);
        for (std::size_t i = 0; i < count; ++i)
            context->decoded->peak = std::max(context->decoded->peak, std::abs(samples[i]));
        gst_buffer_unmap(buffer, &map);
    };
    g_signal_connect(sink, "handoff", G_CALLBACK(onBuffer), &context);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, kPlaybackBoundMs * GST_MSECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    if (message) {
        decoded.finished = true;
        decoded.failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_object_unref(sink);
    gst_object_unref(source);
    gst_object_unref(pipeline);
    return decoded;
}

// Every clip the program may play is shipped and decodes to sound of a fitting length.
TEST(ShippedSounds, EveryClipDecodes) {
    ASSERT_TRUE(GstSoundPlayer::playbackAvailable());
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
        const Decoded decoded = decode(kShippedFolder + "sound/" + clip.relative);
        ASSERT_TRUE(decoded.finished) << clip.relative.toStdString() << " did not finish decoding";
        EXPECT_FALSE(decoded.failed) << clip.relative.toStdString();
        ASSERT_GT(decoded.sampleRate, 0) << clip.relative.toStdString();
        const double seconds = double(decoded.frames) / decoded.sampleRate;
        EXPECT_GE(seconds, clip.minSeconds) << clip.relative.toStdString();
        EXPECT_LE(seconds, clip.maxSeconds) << clip.relative.toStdString();
        EXPECT_GT(decoded.peak, 0.5f) << clip.relative.toStdString() << " is nearly silent";
    }
}

}  // namespace
}  // namespace plumo
