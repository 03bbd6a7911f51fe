#pragma once

#include "platform/autostart.h"
#include "platform/clock_setter.h"
#include "platform/core/program_dir.h"
#include "platform/power_control.h"
#include "platform/program_launcher.h"
#include "platform/song_player.h"

namespace zorvel {
class CDesktopShell;
}

// The services windows use to act on the machine, handed to them by the application. A
// service left empty is simply not used (tests fill in fakes for what they look at).
struct PlatformServices {
    IPowerControl* power = nullptr;
    IProgramLauncher* launcher = nullptr;
    SongPlayerFactory songPlayers;
    zorvel::CDesktopShell* shell = nullptr;
    zorvel::DataDirs dataDirs;  // voice clips and built-in songs
    IAutostart* autostart = nullptr;
    IClockSetter* clockSetter = nullptr;
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
