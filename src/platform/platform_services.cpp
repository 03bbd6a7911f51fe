#include "platform/platform_services.h"

PlatformServices& Services() {
    static PlatformServices services;
    return services;
}

void InstallLinuxServices() {
    static CLogindPowerControl power;
    static CDetachedProgramLauncher launcher;
    PlatformServices& s = Services();
    s.power = &power;
    s.launcher = &launcher;
    s.songPlayers = [] { return std::make_unique<CMediaSongPlayer>(); };
}
