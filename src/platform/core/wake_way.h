#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace zorvel {

// One way of waking the computer from sleep at a given moment (a systemd timer, the
// zorvel-wake helper). Each is tried rather than predicted: whether the system lets this user
// wake it shows only when a wake-up is armed.
class IWakeWay {
public:
    virtual ~IWakeWay() = default;
    virtual std::string Name() const = 0;
    // Arms a wake-up at `at` (seconds since the epoch), replacing the one armed before. `done`
    // is told once, possibly before Arm returns: true when the wake-up is armed, false when
    // this way cannot wake the computer here.
    virtual void Arm(std::time_t at, std::function<void(bool armed)> done) = 0;
    virtual void Disarm() = 0;
};

}  // namespace zorvel
