#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/autostart.h"
#include "platform/clock_setter.h"
#include "platform/core/program_dir.h"
#include "platform/core/wake_way.h"
#include "platform/desktop_notifier.h"
#include "platform/power_control.h"
#include "platform/program_launcher.h"
#include "platform/session_sleep.h"
#include "platform/song_player.h"
#include "platform/url_opener.h"

class CClipSink;
namespace zorvel {
class CDesktopShell;
}

// The services windows use to act on the machine, handed to them by the application. A
// service left empty is simply not used (tests fill in fakes for what they look at).
namespace zorvel {
class IStateStore;
}

struct PlatformServices {
    IPowerControl* power = nullptr;
    IProgramLauncher* launcher = nullptr;
    SongPlayerFactory songPlayers;
    zorvel::CDesktopShell* shell = nullptr;
    zorvel::DataDirs dataDirs;  // voice clips and built-in songs
    IAutostart* autostart = nullptr;
    IClockSetter* clockSetter = nullptr;
    IDesktopNotifier* notifier = nullptr;
    IUrlOpener* urlOpener = nullptr;  // the desktop's browser
    // Keeps last-seen, the pending snoozes and the choices; null: files in the state folder.
    zorvel::IStateStore* state = nullptr;
    // Made by the alarm engine in its own thread, which they then live in.
    std::function<std::unique_ptr<ISessionSleep>()> sessionSleep;
    std::function<std::vector<std::unique_ptr<zorvel::IWakeWay>>()> wakeWays;
    // Makes the voice's audio output, the first time the time is spoken.
    std::function<CClipSink*()> voiceSink;
};

// The Linux implementations, kept together for the life of the application.
class CLinuxPlatform {
public:
    CLinuxPlatform();
    ~CLinuxPlatform();
    PlatformServices Bundle();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
