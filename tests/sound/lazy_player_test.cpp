#include "sound/lazy_player.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "recording_player.h"
#include "sound/playsound.h"

namespace plumo {
namespace {

// Hands out one recording player and counts how often it was asked for one.
struct CountingFactory {
    std::unique_ptr<Player> operator()() {
        ++*calls;
        auto player = std::make_unique<test::RecordingPlayer>();
        *made = player.get();
        return player;
    }
    int* calls;
    test::RecordingPlayer** made;
};

TEST(LazyPlayer, MakesTheRealPlayerOnlyForTheFirstSoundAndKeepsIt) {
    int calls = 0;
    test::RecordingPlayer* made = nullptr;
    LazyPlayer player(CountingFactory{&calls, &made});
    player.close();  // nothing plays yet: nothing to make
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(player.realPlayer(), nullptr);

    playsound(player, "/app/", "msg.mp3", "");
    playsound(player, "/app/", "dingding.mp3", "");
    EXPECT_EQ(calls, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(player.realPlayer(), made);
    EXPECT_EQ(made->played, (QStringList{"/app/sound/msg.mp3", "/app/sound/dingding.mp3"}));
    EXPECT_EQ(made->cutOff, QStringList{"/app/sound/msg.mp3"});

    player.close();
    EXPECT_TRUE(made->playing.isEmpty());
    EXPECT_EQ(made->cutOff, (QStringList{"/app/sound/msg.mp3", "/app/sound/dingding.mp3"}));
}

TEST(LazyPlayer, WithoutARealPlayerEverySoundIsSkippedAndTheFactoryIsNotAskedAgain) {
    const std::vector<std::pair<const char*, LazyPlayer::Factory>> machines = {
        {"no player", [] { return std::unique_ptr<Player>(); }},
        {"factory fails",
         []() -> std::unique_ptr<Player> { throw std::runtime_error("no media back end"); }},
        {"no factory", nullptr},
    };
    for (const auto& [name, makeOne] : machines) {
        int calls = 0;
        LazyPlayer::Factory counted;
        if (makeOne) {
            counted = [&calls, makeOne = makeOne] {
                ++calls;
                return makeOne();
            };
        }
        LazyPlayer player(counted);
        EXPECT_NO_THROW(playsound(player, "/app/", "msg.mp3", "")) << name;
        EXPECT_NO_THROW(player.open("/app/sound/13.mp3")) << name;
        EXPECT_NO_THROW(player.play()) << name;
        EXPECT_NO_THROW(player.close()) << name;
        EXPECT_EQ(player.realPlayer(), nullptr) << name;
        EXPECT_LE(calls, 1) << name;
    }
}

TEST(LazyPlayer, FailuresOfTheRealPlayerReachPlaysoundWhichSwallowsThem) {
    test::RecordingPlayer* made = nullptr;
    int calls = 0;
    LazyPlayer player(CountingFactory{&calls, &made});
    player.open("/app/sound/msg.mp3");
    ASSERT_NE(made, nullptr);
    made->failOpen = true;
    EXPECT_THROW(player.open("/app/sound/reminder.mp3"), std::runtime_error);
    EXPECT_NO_THROW(playsound(player, "/app/", "reminder.mp3", ""));
    made->failOpen = false;
    playsound(player, "/app/", "dingding.mp3", "");
    EXPECT_EQ(made->played, QStringList{"/app/sound/dingding.mp3"});
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace plumo
