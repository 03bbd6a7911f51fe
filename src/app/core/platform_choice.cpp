#include "app/core/platform_choice.h"

namespace zorvel {

namespace {
bool IsSet(const EnvLookup& env, const char* name) {
    auto value = env(name);
    return value && !value->empty();
}

bool IsWaylandSession(const EnvLookup& env) {
    return IsSet(env, "WAYLAND_DISPLAY") || env("XDG_SESSION_TYPE").value_or("") == "wayland";
}
}  // namespace

std::optional<std::string> PreferredPlatform(const EnvLookup& env, bool platformArgumentGiven) {
    if (platformArgumentGiven || IsSet(env, "QT_QPA_PLATFORM"))
        return std::nullopt;
    if (!IsWaylandSession(env) || !IsSet(env, "DISPLAY"))
        return std::nullopt;
    return std::string("xcb;wayland");
}

std::string PlatformNote(const EnvLookup& env, const std::string& platformName) {
    if (!IsWaylandSession(env))
        return {};
    if (platformName == "xcb")
        return "Wayland session: running through XWayland";
    if (platformName.rfind("wayland", 0) == 0)
        return "Wayland session: running on Wayland itself (no XWayland), so the clock cannot "
               "place itself at the screen's top-left";
    return {};
}

}  // namespace zorvel
