#include "platform/platform_services.h"

#include <QCoreApplication>

#include "platform/linux_desktop_shell.h"
#include "platform/media_clip_sink.h"
#include "platform/wake_ways.h"

struct CLinuxPlatform::Parts {
    CLogindPowerControl power;
    CDetachedProgramLauncher launcher;
    zorvel::CLinuxDesktopShell shell;
    CXdgAutostart autostart{CXdgAutostart::DefaultConfigHome(),
                            QCoreApplication::applicationFilePath()};
    CTimedatedClockSetter clockSetter;
    CFreedesktopNotifier notifier{QDBusConnection::sessionBus()};
    CSystemUrlOpener urlOpener;
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
    s.autostart = &parts_->autostart;
    s.clockSetter = &parts_->clockSetter;
    s.notifier = &parts_->notifier;
    s.urlOpener = &parts_->urlOpener;
    s.sessionSleep = [] { return std::make_unique<CLogindSleep>(QDBusConnection::systemBus()); };
    s.wakeWays = [] { return LinuxWakeWays(); };
    s.voiceSink = [] { return new CMediaClipSink; };
    return s;
}
