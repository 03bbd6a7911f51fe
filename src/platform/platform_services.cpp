#include "platform/platform_services.h"

#include "platform/linux_desktop_shell.h"

struct CLinuxPlatform::Parts {
    CLogindPowerControl power;
    CDetachedProgramLauncher launcher;
    zorvel::CLinuxDesktopShell shell;
};

CLinuxPlatform::CLinuxPlatform() : parts_(std::make_unique<Parts>()) {}

CLinuxPlatform::~CLinuxPlatform() = default;

PlatformServices CLinuxPlatform::Bundle() {
    PlatformServices s;
    s.power = &parts_->power;
    s.launcher = &parts_->launcher;
    s.songPlayers = [] { return std::make_unique<CMediaSongPlayer>(); };
    s.shell = &parts_->shell;
    s.dataDirs = zorvel::DataDirs::Installed();
    return s;
}
