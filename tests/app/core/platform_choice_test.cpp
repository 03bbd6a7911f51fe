#include "app/core/platform_choice.h"

#include <gtest/gtest.h>

#include <map>

namespace zorvel {
namespace {

EnvLookup Env(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](const char* name) -> std::optional<std::string> {
        auto it = vars.find(name);
        if (it == vars.end())
            return std::nullopt;
        return it->second;
    };
}

TEST(PreferredPlatform, WaylandWithXWaylandAsksForXcbFirst) {
    EXPECT_EQ(PreferredPlatform(Env({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), false),
              "xcb;wayland");
    EXPECT_EQ(PreferredPlatform(Env({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}), false),
              "xcb;wayland");
}

TEST(PreferredPlatform, LeavesQtAloneOtherwise) {
    // The user's choice wins, by variable or by argument.
    EXPECT_EQ(PreferredPlatform(Env({{"WAYLAND_DISPLAY", "wayland-0"},
                                     {"DISPLAY", ":0"},
                                     {"QT_QPA_PLATFORM", "wayland"}}),
                                false),
              std::nullopt);
    EXPECT_EQ(PreferredPlatform(Env({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), true),
              std::nullopt);
    // No XWayland to reach.
    EXPECT_EQ(PreferredPlatform(Env({{"WAYLAND_DISPLAY", "wayland-0"}}), false), std::nullopt);
    EXPECT_EQ(PreferredPlatform(Env({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}), false),
              std::nullopt);
    // An X11 session already runs on xcb.
    EXPECT_EQ(PreferredPlatform(Env({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}), false),
              std::nullopt);
    // An empty QT_QPA_PLATFORM is no choice.
    EXPECT_EQ(
        PreferredPlatform(
            Env({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", ""}}), false),
        "xcb;wayland");
}

}  // namespace
}  // namespace zorvel
