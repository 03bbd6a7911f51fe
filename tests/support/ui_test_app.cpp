#include "support/test_app.h"

#include <QTimer>

#include "app/change_notifier.h"
#include "platform/clip_sink.h"

namespace zorvel::test {

namespace {
// Every clip ends at once, unheard.
class SilentSink final : public CClipSink {
public:
    void Play(const QString&) override {
        QTimer::singleShot(0, this, [this] { emit Finished(); });
    }
    void Stop() override {}
};
}  // namespace

AppTest::AppTest() : dbPath(dir.File("zorvel.db3")), clock(MakeLocalTime(2011, 9, 18, 10, 15, 30)) {
    Restart();
}

void AppTest::Restart() {
    app.reset();
    sleep = nullptr;
    wakeWays.clear();
    CAppContext::Parts parts;
    parts.clock = &clock;
    parts.platform.power = &power;
    parts.platform.launcher = &launcher;
    parts.platform.shell = &shell;
    parts.platform.autostart = &autostart;
    parts.platform.clockSetter = &clockSetter;
    parts.platform.notifier = &notifier;
    parts.platform.urlOpener = &urlOpener;
    parts.platform.sessionSleep = [this] {
        auto s = std::make_unique<CFakeSessionSleep>();
        sleep = s.get();
        return std::unique_ptr<ISessionSleep>(std::move(s));
    };
    parts.platform.wakeWays = [this] {
        std::vector<std::unique_ptr<IWakeWay>> ways;
        wakeWays.clear();
        for (int i = 0; i < 2; ++i) {
            auto w =
                std::make_unique<CFakeWakeWay>(i == 0 ? "systemd" : "zorvel-wake", wakeWorks[i]);
            wakeWays.push_back(w.get());
            ways.push_back(std::move(w));
        }
        return ways;
    };
    parts.platform.songPlayers = [this] {
        auto p = std::make_unique<CFakeSongPlayer>();
        p->error = nextSongError;
        players.push_back(p.get());
        return std::unique_ptr<ISongPlayer>(std::move(p));
    };
    parts.platform.dataDirs = DataDirs::In(dir.File("data"));
    parts.databasePath = dbPath;
    parts.stateDir = dir.File("state") + "/";
    parts.platform.voiceSink = [] { return new SilentSink; };
    app = std::make_unique<CAppContext>(std::move(parts));
}

AppTest::~AppTest() = default;

void AppTest::FlushChanges() {
    app->notifier().Flush();
}

}  // namespace zorvel::test
