#pragma once

#include <QObject>
#include <QTimer>

// A one-second timer armed for just after each whole second of the wall clock, so a job
// that looks at the current second sees each second once, whatever the drift.
class CSecondTicker : public QObject {
    Q_OBJECT
public:
    // The application owns one, so the jobs that run once a second share one wake-up.
    explicit CSecondTicker(QObject* parent = nullptr);
    void Start();
    void Stop();
    bool IsActive() const { return timer_.isActive(); }

signals:
    void Tick();

private:
    void Arm();
    QTimer timer_;
};
