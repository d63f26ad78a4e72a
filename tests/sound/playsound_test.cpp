#include "sound/playsound.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "recording_player.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

// A program folder whose sound folder holds the signal sounds and both voice packs.
class PlaysoundTest : public ::testing::Test {
protected:
    PlaysoundTest() {
        for (const char* name : {"msg.mp3", "reminder.mp3", "dingding.mp3"}) {
            dir.write(std::string("sound/") + name, "clip");
        }
        for (int hour = 0; hour < 24; ++hour) {
            dir.write("sound/vr/" + std::to_string(hour) + ".mp3", "clip");
            dir.write("sound/pc/" + std::to_string(hour) + ".mp3", "clip");
        }
    }
    QString programFolder() const { return QString::fromStdString(dir.path().string()) + "/"; }
    QString soundPath(const QString& relative) const {
        return programFolder() + "sound/" + relative;
    }
    QString playChime(int voiceType, int hour) {
        const auto chime = hourlyChime(voiceType, hour);
        if (!chime) return "(nothing)";
        playsound(player, programFolder(), chime->fileName, chime->voiceFolder);
        return player.played.isEmpty() ? "(not played)" : player.played.back();
    }

    test::TempDir dir;
    test::RecordingPlayer player;
};

TEST_F(PlaysoundTest, EveryHourOfEveryVoiceTypePlaysItsFile) {
    for (int hour = 0; hour < 24; ++hour) {
        const QString file = QString::number(hour) + ".mp3";
        EXPECT_EQ(playChime(0, hour), soundPath("vr/" + file)) << hour;
        EXPECT_EQ(playChime(1, hour), soundPath("pc/" + file)) << hour;
        EXPECT_EQ(playChime(2, hour), soundPath("dingding.mp3")) << hour;
    }
    EXPECT_EQ(player.played.size(), 72);
}

TEST_F(PlaysoundTest, OtherVoiceTypesPlayNothing) {
    EXPECT_EQ(hourlyChime(3, 13), std::nullopt);
    EXPECT_EQ(hourlyChime(-1, 13), std::nullopt);
    EXPECT_EQ(hourlyChime(0, 9), (ChimeSound{"9.mp3", "vr/"}));
}

TEST_F(PlaysoundTest, SignalSoundsPlayFromTheSoundFolder) {
    playsound(player, programFolder(), "msg.mp3", "");
    playsound(player, programFolder(), "reminder.mp3", "");
    EXPECT_EQ(player.played, (QStringList{soundPath("msg.mp3"), soundPath("reminder.mp3")}));
}

TEST_F(PlaysoundTest, AMissingVerolaClipFallsBackToTheFemaleVoice) {
    fs::remove(dir / "sound/vr/13.mp3");
    EXPECT_EQ(playChime(0, 13), soundPath("pc/13.mp3"));
    EXPECT_EQ(playChime(0, 14), soundPath("vr/14.mp3"));

    fs::remove(dir / "sound/vr/15.mp3");
    fs::create_directory(dir / "sound/vr/15.mp3");  // a folder is no clip
    EXPECT_EQ(playChime(0, 15), soundPath("pc/15.mp3"));
}

TEST_F(PlaysoundTest, TheFallbackIsNotCheckedAndOnlyVerolaFallsBack) {
    fs::remove(dir / "sound/vr/13.mp3");
    fs::remove(dir / "sound/pc/13.mp3");
    EXPECT_EQ(playChime(0, 13), soundPath("pc/13.mp3"));  // tried, and silent on a real player
    EXPECT_EQ(playChime(1, 13), soundPath("pc/13.mp3"));

    fs::remove(dir / "sound/pc/12.mp3");
    EXPECT_EQ(playChime(1, 12), soundPath("pc/12.mp3"));  // no fallback to vr/

    fs::create_directories(dir / "sound/VR");
    playsound(player, programFolder(), "13.mp3", "VR/");
    EXPECT_EQ(player.played.back(), soundPath("VR/13.mp3"));
    playsound(player, programFolder(), "13.mp3", "vr");
    EXPECT_EQ(player.played.back(), soundPath("vr13.mp3"));
}

TEST_F(PlaysoundTest, AMissingSoundFolderOrAFailingPlayerIsSilent) {
    fs::remove_all(dir / "sound");
    EXPECT_NO_THROW(playsound(player, programFolder(), "msg.mp3", ""));
    EXPECT_NO_THROW(playsound(player, programFolder(), "7.mp3", "vr/"));
    EXPECT_EQ(player.opened.back(), soundPath("pc/7.mp3"));

    player.failOpen = true;
    EXPECT_NO_THROW(playsound(player, programFolder(), "msg.mp3", ""));
    EXPECT_EQ(player.opened.size(), 2);
}

TEST_F(PlaysoundTest, ANewSoundCutsOffTheOneBefore) {
    playChime(0, 13);
    playsound(player, programFolder(), "reminder.mp3", "");
    EXPECT_EQ(player.cutOff, QStringList{soundPath("vr/13.mp3")});
    EXPECT_EQ(player.playing, soundPath("reminder.mp3"));

    playsound(player, programFolder(), "reminder.mp3", "");  // the same one again restarts it
    EXPECT_EQ(player.cutOff, (QStringList{soundPath("vr/13.mp3"), soundPath("reminder.mp3")}));
    EXPECT_EQ(player.played.size(), 3);
}

}  // namespace
}  // namespace plumo
