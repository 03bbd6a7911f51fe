#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <functional>

// The session's sleep: the signal before and after a suspend, and the locks that hold a
// suspend back. The Linux implementation talks to logind; tests use a fake.
class ISessionSleep {
public:
    virtual ~ISessionSleep() = default;
    // Told true just before the computer sleeps, false once it has woken.
    virtual void SetSleepHandler(std::function<void(bool goingToSleep)> handler) = 0;
    // A "delay" lock on sleep: the suspend waits (a few seconds at most) until it is released.
    virtual void HoldSleepDelay(bool hold) = 0;
    // A "block" lock on idle: an idle suspend or blank screen does not come while it is held.
    virtual void HoldIdleBlock(bool hold) = 0;
};

class CLogindSleep final : public QObject, public ISessionSleep {
    Q_OBJECT
public:
    explicit CLogindSleep(QDBusConnection bus, QObject* parent = nullptr);
    void SetSleepHandler(std::function<void(bool)> handler) override;
    void HoldSleepDelay(bool hold) override;
    void HoldIdleBlock(bool hold) override;

private slots:
    void OnPrepareForSleep(bool start);

private:
    // One inhibitor lock: wanted or not, asked for, held (the file descriptor logind gave).
    struct Lock {
        const char* what;
        const char* mode;
        const char* why;
        bool wanted = false;
        bool asking = false;
        QDBusUnixFileDescriptor fd;
    };
    void Update(Lock& lock);

    QDBusConnection bus_;
    std::function<void(bool)> handler_;
    Lock sleep_{"sleep", "delay", "保存闹钟的状态", false, false, {}};
    Lock idle_{"idle", "block", "闹钟正在响铃", false, false, {}};
};
