#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zorvel {

// Reads an environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;

// On a Wayland session the clock's position at the screen's top-left only holds under X11, so
// the program asks for the xcb platform (through XWayland) and keeps Wayland as the fall-back.
// Returns the platform list to request, or nullopt to leave Qt's choice alone: when the user
// chose a platform (QT_QPA_PLATFORM or -platform), the session is not Wayland, or there is no
// X display to reach.
std::optional<std::string> PreferredPlatform(const EnvLookup& env, bool platformArgumentGiven);

// The log line that says how a program in a Wayland session reaches the screen, given the
// platform Qt started on ("xcb", "wayland", ...); empty outside a Wayland session or on a
// platform that is no screen of it.
std::string PlatformNote(const EnvLookup& env, const std::string& platformName);

}  // namespace zorvel
