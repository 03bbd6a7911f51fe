#pragma once

#include "platform/power_control.h"
#include "platform/program_launcher.h"
#include "platform/song_player.h"

// The services windows use to act on the machine. main() fills it with the Linux
// implementations; tests fill it with fakes.
struct PlatformServices {
    IPowerControl* power = nullptr;
    IProgramLauncher* launcher = nullptr;
    SongPlayerFactory songPlayers;
};

PlatformServices& Services();
// Puts the Linux implementations in place (kept for the life of the process).
void InstallLinuxServices();
