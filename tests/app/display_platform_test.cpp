#include "app/display_platform.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace plumo {
namespace {

DisplayPlatformChoice choose(const std::map<std::string, std::string>& environment) {
    return chooseDisplayPlatform([&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    });
}

TEST(DisplayPlatform, WaylandSessionsRunHerOnXWaylandUnlessTheUserChose) {
    const auto wayland = choose(
        {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}});
    EXPECT_EQ(wayland.platform, "xcb");
    EXPECT_TRUE(wayland.error.empty());
    EXPECT_EQ(choose({{"DISPLAY", ":0"}}).platform, "xcb");

    const auto chosen = choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}});
    EXPECT_TRUE(chosen.platform.empty());
    EXPECT_TRUE(chosen.error.empty());
}

TEST(DisplayPlatform, WithoutAnXDisplayItEndsWithAMessage) {
    const auto wayland = choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}});
    EXPECT_TRUE(wayland.platform.empty());
    EXPECT_NE(wayland.error.find("XWayland"), std::string::npos);
    EXPECT_FALSE(choose({}).error.empty());
}

}  // namespace
}  // namespace plumo
