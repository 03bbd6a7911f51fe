#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/wake_way.h"

namespace zorvel {

// Keeps one wake-up armed, a little before the next alarm, through the first of the ways that
// works here. A way that refuses is left for the next one for the rest of the run. With no
// alarm ahead, the first ways are still tried once with a moment a day away and disarmed
// again, so the settings page can tell whether waking can work at all.
class CWakeChooser {
public:
    // How long before the alarm the computer is woken: enough to resume and reconnect.
    static constexpr std::time_t kLead = 30;
    // A moment this close to now is not armed: the computer is awake and stays so.
    static constexpr std::time_t kTooClose = 5;

    enum class Availability { kUnknown, kWorks, kNone };

    explicit CWakeChooser(std::vector<std::unique_ptr<IWakeWay>> ways);
    ~CWakeChooser();

    // The next alarm's minute (nothing: no alarm ahead) as of `now`; armed kLead earlier.
    void Want(std::optional<std::time_t> nextAlarm, std::time_t now);
    // Off: nothing armed (the ways are still tried, to know whether it could work).
    void SetEnabled(bool enabled, std::time_t now);
    // After a resume: the wake-up that fired is armed afresh.
    void Refresh(std::time_t now);

    Availability availability() const { return availability_; }
    // The way in use (or being tried); empty when none is left.
    const IWakeWay* way() const {
        return current_ < ways_.size() ? ways_[current_].get() : nullptr;
    }
    // The moment armed now; 0 when none.
    std::time_t armedAt() const { return armedAt_; }
    // Told whenever the availability changes.
    std::function<void(Availability)> onAvailability;

private:
    void Pump();
    void Settle(std::size_t way, std::time_t target, bool armed);
    void SetAvailability(Availability a);

    std::vector<std::unique_ptr<IWakeWay>> ways_;
    std::size_t current_ = 0;
    bool enabled_ = true;
    bool busy_ = false;
    bool refresh_ = false;
    std::time_t wanted_ = 0;   // the moment to arm; 0: none
    std::time_t armedAt_ = 0;  // 0: nothing armed
    std::time_t now_ = 0;      // as last told
    Availability availability_ = Availability::kUnknown;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace zorvel
