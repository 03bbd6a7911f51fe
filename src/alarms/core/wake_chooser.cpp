#include "alarms/core/wake_chooser.h"

namespace zorvel {

namespace {
// The moment a way is tried with when no alarm is ahead: far enough never to fire.
constexpr std::time_t kProbeAhead = 24 * 3600;
}  // namespace

CWakeChooser::CWakeChooser(std::vector<std::unique_ptr<IWakeWay>> ways) : ways_(std::move(ways)) {}

CWakeChooser::~CWakeChooser() {
    *alive_ = false;
}

void CWakeChooser::Want(std::optional<std::time_t> nextAlarm, std::time_t now) {
    now_ = now;
    if (!nextAlarm) {
        wanted_ = 0;
    } else if (*nextAlarm - kLead > now + kTooClose) {
        wanted_ = *nextAlarm - kLead;
    }
    // Otherwise the alarm is moments away: what is armed stays (a moment already past cannot
    // be armed, and the computer is awake now).
    Pump();
}

void CWakeChooser::SetEnabled(bool enabled, std::time_t now) {
    now_ = now;
    enabled_ = enabled;
    Pump();
}

void CWakeChooser::Refresh(std::time_t now) {
    now_ = now;
    if (enabled_ && wanted_ > now + kTooClose)
        refresh_ = true;
    Pump();
}

void CWakeChooser::SetAvailability(Availability a) {
    if (a == availability_)
        return;
    availability_ = a;
    if (onAvailability)
        onAvailability(a);
}

void CWakeChooser::Pump() {
    if (busy_)
        return;
    if (current_ >= ways_.size()) {
        armedAt_ = 0;
        SetAvailability(Availability::kNone);
        return;
    }
    std::time_t target = enabled_ ? wanted_ : 0;
    const bool probe = target == 0 && availability_ == Availability::kUnknown;
    if (target == 0 && !probe) {
        if (armedAt_ != 0) {
            ways_[current_]->Disarm();
            armedAt_ = 0;
        }
        return;
    }
    if (probe)
        target = now_ + kProbeAhead;
    else if (target == armedAt_ && !refresh_)
        return;
    refresh_ = false;
    busy_ = true;
    const std::size_t way = current_;
    std::weak_ptr<bool> alive = alive_;
    ways_[way]->Arm(target, [this, alive, way, target](bool armed) {
        if (alive.expired())
            return;
        Settle(way, target, armed);
    });
}

void CWakeChooser::Settle(std::size_t way, std::time_t target, bool armed) {
    busy_ = false;
    if (way != current_)
        return;
    if (armed) {
        armedAt_ = target;
        SetAvailability(Availability::kWorks);
    } else {
        ways_[way]->Disarm();
        armedAt_ = 0;
        ++current_;
    }
    Pump();
}

}  // namespace zorvel
