#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/wake_way.h"

// A transient timer of the user's systemd instance with WakeSystem=true, started over D-Bus,
// firing a service that does nothing: the wake-up is the point. It works where the user
// manager may wake the system (systemd 254 and later for local sessions); elsewhere the timer
// fails with the result "resources".
class CSystemdTimerWake final : public QObject, public zorvel::IWakeWay {
    Q_OBJECT
public:
    explicit CSystemdTimerWake(QDBusConnection userManagerBus, QObject* parent = nullptr);
    ~CSystemdTimerWake() override;
    std::string Name() const override { return "systemd"; }
    void Arm(std::time_t at, std::function<void(bool)> done) override;
    void Disarm() override;

    // The calendar time systemd is given: absolute, in UTC.
    static QString CalendarText(std::time_t at);

private:
    void CheckState(const QString& timer, int triesLeft, std::function<void(bool)> done);
    void Stop(const QString& timer);
    // Timers that an earlier run left behind (it ended without disarming) are stopped.
    void StopLeftovers();

    QDBusConnection bus_;
    QString armed_;  // the timer unit now armed
    int counter_ = 0;
    QStringList mine_;  // the timers this run started
};

// The zorvel-wake helper: a small program with the CAP_WAKE_ALARM capability that holds one
// wake-up timer for as long as it runs.
class CHelperWake final : public QObject, public zorvel::IWakeWay {
    Q_OBJECT
public:
    // `arguments` are given to the helper (tests: --realtime).
    explicit CHelperWake(QString program, QStringList arguments = {}, QObject* parent = nullptr);
    ~CHelperWake() override;
    std::string Name() const override { return "zorvel-wake"; }
    void Arm(std::time_t at, std::function<void(bool)> done) override;
    void Disarm() override;

    // zorvel-wake beside the running program (the build folder, or the installed bin folder).
    static QString DefaultProgram();

private:
    void OnLine(const QByteArray& line);
    void Fail();

    QString program_;
    QStringList arguments_;
    std::unique_ptr<QProcess> process_;
    bool ready_ = false;
    std::time_t pendingAt_ = 0;  // to arm once the helper is ready
    std::function<void(bool)> done_;
};

// The ways of waking the computer in the order they are tried, made in the thread that will
// use them.
std::vector<std::unique_ptr<zorvel::IWakeWay>> LinuxWakeWays();
