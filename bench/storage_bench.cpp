// Times the storage layer the way the program uses it: the file is opened and keyed once at
// start-up, then every user action runs on that one connection.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "storage/clock_manager.h"

namespace {

using Steady = std::chrono::steady_clock;

template <typename F>
double MillisecondsPerRun(int runs, F&& f) {
    auto start = Steady::now();
    for (int i = 0; i < runs; ++i)
        f();
    std::chrono::duration<double, std::milli> d = Steady::now() - start;
    return d.count() / runs;
}

void FillAlarms(CClockManager& m, int count) {
    for (int i = 0; i < count; ++i)
        m.AddAlarmClock(u"2026-12-09 07:30:00", i % 2 == 0, true, u"起床锻炼身体", u"mp3/1.mp3", 0);
}

}  // namespace

int main() {
    std::string dirTemplate =
        (std::filesystem::temp_directory_path() / "zorvel-bench-XXXXXX").string();
    std::filesystem::path dir = mkdtemp(dirTemplate.data());
    const std::string path = (dir / "zorvel.db3").string();
    const zorvel::SystemClock clock;
    { zorvel::CStore(path, clock).Database().Open(); }  // the file exists from here on

    double open = MillisecondsPerRun(20, [&] { zorvel::CStore(path, clock).Database().Open(); });
    std::printf("start-up: open and key the file (once per run):  %8.2f ms\n", open);

    zorvel::CStore store(path, clock);
    CClockManager& m = store.Manager();
    store.Database().Open();
    double add = MillisecondsPerRun(200, [&] {
        m.AddAlarmClock(u"2026-12-09 07:30:00", false, true, u"开会", u"mp3/2.mp3", 0);
    });
    std::printf("user action: insert alarm                        %8.2f ms\n", add);
    double log = MillisecondsPerRun(200, [&] { m.AddLog(u"添加了一个闹钟 2026-12-09 07:30:00"); });
    std::printf("user action: insert log line                     %8.2f ms\n", log);

    std::filesystem::remove(path);
    zorvel::CStore fresh(path, clock);
    CClockManager& f = fresh.Manager();
    FillAlarms(f, 100);
    double list100 = MillisecondsPerRun(50, [&] {
        AlarmClockList all;
        f.GetAllAlarmClocks(all);
    });
    std::printf("user action: read all alarms, 100 rows           %8.2f ms\n", list100);
    FillAlarms(f, 900);
    double list1000 = MillisecondsPerRun(50, [&] {
        AlarmClockList all;
        f.GetAllAlarmClocks(all);
    });
    std::printf("user action: read all alarms, 1000 rows          %8.2f ms\n", list1000);
    double settings = MillisecondsPerRun(200, [&] {
        SoftSetting s;
        fresh.Database().ReadSoftSetting(&s);
    });
    std::printf("user action: read the settings row               %8.2f ms\n", settings);

    std::filesystem::remove_all(dir);
    return 0;
}
