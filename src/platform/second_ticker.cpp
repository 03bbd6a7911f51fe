#include "platform/second_ticker.h"

#include <QDateTime>

namespace {
// How long after the whole second the tick is wanted: late enough that the second has
// surely turned, early enough to leave the rest of it for the work.
constexpr int kAfterSecondMs = 15;
}  // namespace

CSecondTicker::CSecondTicker(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        Arm();
        emit Tick();
    });
}

void CSecondTicker::Start() {
    Arm();
}

void CSecondTicker::Stop() {
    timer_.stop();
}

void CSecondTicker::Arm() {
    qint64 ms = QDateTime::currentMSecsSinceEpoch() % 1000;
    // Always the next turn of the second, even when this tick itself came a little early.
    timer_.start(static_cast<int>(1000 - ms + kAfterSecondMs));
}
