#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace zorvel {

// A water surface over a picture: a height field that spreads and fades drops, and bends the
// picture's pixels by its slope. Sizes are in picture pixels.
class CRippleField {
public:
    CRippleField(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Pushes the water down in a disc around (x, y), deepest in the middle. Parts of the disc
    // outside the picture are ignored, so a drop on the edge is fine.
    void Drop(int x, int y, int radius, int strength);

    // One step of the wave: every point moves toward the mean of its neighbours and loses a
    // little energy, so ripples spread outward and die away.
    void Step();

    // Whether the surface is flat (nothing to show until the next drop).
    bool IsCalm() const;

    // Writes the picture `src` (width × height ARGB pixels, `srcStride` pixels a row) as seen
    // through the water into `dst` (same size, `dstStride` pixels a row).
    void Render(const std::uint32_t* src, int srcStride, std::uint32_t* dst, int dstStride) const;

    int HeightAt(int x, int y) const { return current_[Index(x, y)]; }

private:
    int Index(int x, int y) const { return y * width_ + x; }

    int width_;
    int height_;
    std::vector<int> current_;
    std::vector<int> previous_;
};

// When drops fall: one tick in `divisor` at a random point, and under the mouse.
class CRippleDrops {
public:
    struct Drop {
        int x;
        int y;
        int radius;
        int strength;
    };

    // `random` gives non-negative numbers; the widget uses a real generator, tests a list.
    explicit CRippleDrops(std::function<unsigned()> random, int divisor = 10);

    // The drop of this animation tick, if one falls.
    bool OnTick(int width, int height, Drop& drop);
    // The mouse moved to (x, y); with the left button held the drop is a big one.
    static Drop OnMouseMove(int x, int y, bool leftButtonHeld);
    // A click at (x, y).
    static Drop OnMousePress(int x, int y);

    static constexpr int kSmallRadius = 5;
    static constexpr int kSmallStrength = 50;
    static constexpr int kBigRadius = 50;
    static constexpr int kBigStrength = 500;

private:
    std::function<unsigned()> random_;
    int divisor_;
};

}  // namespace zorvel
