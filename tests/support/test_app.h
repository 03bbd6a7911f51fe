#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "platform/platform_services.h"
#include "storage/clock_manager.h"
#include "support/fake_desktop_shell.h"
#include "support/fake_wake_way.h"
#include "support/fakes.h"
#include "support/temp_db.h"

namespace zorvel::test {

// The whole application context on fakes: a fresh database in a temporary folder, a fake clock
// standing at 2011-09-18 10:15:30, a fake desktop, power control and program launcher, song
// players that only count, and a voice that plays nothing. The context is not started; tests
// that need the reminder jobs running call app->Start().
class AppTest : public ::testing::Test {
protected:
    AppTest();
    ~AppTest() override;

    CAppContext& context() { return *app; }
    CClockManager& manager() { return app->store().Manager(); }
    CClockDatabase& database() { return app->store().Database(); }
    std::vector<std::u16string> StoredLogTexts() { return test::StoredLogTexts(manager()); }
    // Raises the pending change signals now, as the event loop would.
    void FlushChanges();
    // Ends the program and starts it again on the same database and state folder.
    void Restart();
    // The platform services as the windows get them.
    const PlatformServices& services() { return app->platform(); }

    TempDir dir;
    std::string dbPath;
    FakeClock clock;
    CFakeDesktopShell shell;
    CFakePowerControl power;
    CFakeProgramLauncher launcher;
    CFakeAutostart autostart;
    CFakeClockSetter clockSetter;
    CFakeNotifier notifier;
    CFakeUrlOpener urlOpener;
    CFakeSessionSleep* sleep = nullptr;  // owned by the engine
    // The ways of waking the engine gets (owned by it): whether each works, then the ways.
    bool wakeWorks[2] = {true, true};
    std::vector<CFakeWakeWay*> wakeWays;
    std::vector<CFakeSongPlayer*> players;  // owned by the ring windows
    QString nextSongError;                  // the error the next song player reports
    std::unique_ptr<CAppContext> app;
};

}  // namespace zorvel::test
