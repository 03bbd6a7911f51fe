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

TEST(PlatformNote, SaysHowAWaylandSessionIsReached) {
    const auto wayland = Env({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}});
    EXPECT_EQ(PlatformNote(wayland, "xcb"), "Wayland session: running through XWayland");
    EXPECT_EQ(PlatformNote(Env({{"XDG_SESSION_TYPE", "wayland"}}), "xcb"),
              "Wayland session: running through XWayland");
    // Qt fell back to Wayland (no XWayland): the line says so, not that XWayland runs it.
    const std::string native = PlatformNote(Env({{"WAYLAND_DISPLAY", "wayland-0"}}), "wayland");
    EXPECT_EQ(native.rfind("Wayland session: running on Wayland itself", 0), 0u) << native;
    EXPECT_EQ(PlatformNote(wayland, "wayland-egl").rfind("Wayland session: running on Wayland", 0),
              0u);
    // Nothing to say on X11 or off screen.
    EXPECT_EQ(PlatformNote(Env({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}), "xcb"), "");
    EXPECT_EQ(PlatformNote(wayland, "offscreen"), "");
}

}  // namespace
}  // namespace zorvel
