// Times the storage layer the way the windows use it: one connection per user action.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "storage/clock_manager.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MillisecondsPerRun(int runs, F&& f) {
    auto start = Clock::now();
    for (int i = 0; i < runs; ++i)
        f();
    std::chrono::duration<double, std::milli> d = Clock::now() - start;
    return d.count() / runs;
}

void FillAlarms(int count) {
    CClockManager m;
    for (int i = 0; i < count; ++i)
        m.AddAlarmClock(u"2026-12-09 07:30:00", i % 2 == 0, true, u"起床锻炼身体", u"mp3/1.mp3", 0);
}

}  // namespace

int main() {
    std::string dirTemplate =
        (std::filesystem::temp_directory_path() / "zorvel-bench-XXXXXX").string();
    std::filesystem::path dir = mkdtemp(dirTemplate.data());
    zorvel::SetDatabasePathForTesting((dir / "zorvel.db3").string());
    { CClockManager warmUp; }

    double add = MillisecondsPerRun(20, [] {
        CClockManager m;
        m.AddAlarmClock(u"2026-12-09 07:30:00", false, true, u"开会", u"mp3/2.mp3", 0);
    });
    std::printf("user action (open, key, insert alarm, close): %8.2f ms\n", add);

    double open = MillisecondsPerRun(20, [] { CClockDatabase db; });
    std::printf("open and key only:                             %8.2f ms\n", open);

    // Start the list from a known size.
    std::filesystem::remove(dir / "zorvel.db3");
    FillAlarms(100);
    double list100 = MillisecondsPerRun(20, [] {
        AlarmClockList all;
        CClockManager().GetAllAlarmClocks(all);
    });
    std::printf("GetAllAlarmClocks, 100 rows:                   %8.2f ms\n", list100);
    FillAlarms(900);
    double list1000 = MillisecondsPerRun(20, [] {
        AlarmClockList all;
        CClockManager().GetAllAlarmClocks(all);
    });
    std::printf("GetAllAlarmClocks, 1000 rows:                  %8.2f ms\n", list1000);
    double settings = MillisecondsPerRun(20, [] {
        SoftSetting s;
        CClockDatabase().ReadSoftSetting(&s);
    });
    std::printf("ReadSoftSetting (open, key, read, close):      %8.2f ms\n", settings);

    std::filesystem::remove_all(dir);
    return 0;
}
