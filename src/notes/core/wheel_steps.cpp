#include "notes/core/wheel_steps.h"

namespace zorvel::notes {

int WheelSteps::Add(int delta) {
    if ((pending_ > 0 && delta < 0) || (pending_ < 0 && delta > 0))
        pending_ = 0;
    pending_ += delta;
    const int lines = pending_ / kNotch;  // towards zero: a part of a notch waits
    pending_ -= lines * kNotch;
    return lines;
}

}  // namespace zorvel::notes
