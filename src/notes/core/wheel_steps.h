#pragma once

namespace zorvel::notes {

// Turns mouse-wheel deltas into whole lines to scroll. One notch of an ordinary wheel (120)
// is one line; touchpads and high-resolution wheels send smaller steps, which add up until
// they make a notch. Turning the other way starts counting afresh.
class WheelSteps {
public:
    static constexpr int kNotch = 120;

    // The lines to scroll for `delta`: positive scrolls back (up), negative forward (down).
    int Add(int delta);

private:
    int pending_ = 0;
};

}  // namespace zorvel::notes
