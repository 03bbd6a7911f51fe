#include "app/core/platform_choice.h"

namespace zorvel {

namespace {
bool IsSet(const EnvLookup& env, const char* name) {
    auto value = env(name);
    return value && !value->empty();
}
}  // namespace

std::optional<std::string> PreferredPlatform(const EnvLookup& env, bool platformArgumentGiven) {
    if (platformArgumentGiven || IsSet(env, "QT_QPA_PLATFORM"))
        return std::nullopt;
    const bool wayland =
        IsSet(env, "WAYLAND_DISPLAY") || env("XDG_SESSION_TYPE").value_or("") == "wayland";
    if (!wayland || !IsSet(env, "DISPLAY"))
        return std::nullopt;
    return std::string("xcb;wayland");
}

}  // namespace zorvel
