// Runs the one-second ticker that drives the alarm test and the chime for a while, with the
// machine kept busy by a spinning child process, and reports how late the ticks came and
// whether the alarm test ever skipped a whole second.
//
//   timer_accuracy_uibench [seconds]      (default 180)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/second_ticker.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 180;

    // Keep every core busy so the timers compete for the processor.
    std::vector<pid_t> spinners;
    long cores = std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
    for (long i = 0; i < cores; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            volatile unsigned long x = 0;
            for (;;)
                x = x + 1;
        }
        if (pid > 0)
            spinners.push_back(pid);
    }

    std::vector<int> lateness;  // ms after the whole second
    std::vector<qint64> secondsSeen;
    CSecondTicker ticker;
    QObject::connect(&ticker, &CSecondTicker::Tick, [&] {
        qint64 now = QDateTime::currentMSecsSinceEpoch();
        lateness.push_back(static_cast<int>(now % 1000));
        secondsSeen.push_back(now / 1000);
        if (static_cast<int>(secondsSeen.size()) >= seconds)
            app.quit();
    });
    ticker.Start();
    app.exec();

    for (pid_t pid : spinners)
        kill(pid, SIGKILL);
    for (pid_t pid : spinners)
        waitpid(pid, nullptr, 0);

    int skipped = 0, repeated = 0;
    for (size_t i = 1; i < secondsSeen.size(); ++i) {
        qint64 step = secondsSeen[i] - secondsSeen[i - 1];
        if (step > 1)
            skipped += static_cast<int>(step - 1);
        if (step == 0)
            ++repeated;
    }
    std::vector<int> sorted = lateness;
    std::sort(sorted.begin(), sorted.end());
    std::printf("ticks: %zu over %d s with %ld spinning process(es)\n", sorted.size(), seconds,
                cores);
    std::printf("lateness after the whole second: median %d ms, 99th percentile %d ms, max %d ms\n",
                sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back());
    std::printf("whole seconds without a tick: %d; seconds ticked twice: %d\n", skipped, repeated);
    return 0;
}
