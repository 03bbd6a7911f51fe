#include "tools/core/ripple.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zorvel {

namespace {
// A point keeps 31/32 of its height each step: a click's rings fade in a few seconds.
constexpr int kDampingShift = 5;
// How far a slope of one unit bends the picture, as a right shift of the slope.
constexpr int kRefractionShift = 3;
// Slopes brighten or darken the picture slightly, as light on a wave would.
constexpr int kShadeShift = 2;
}  // namespace

CRippleField::CRippleField(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      current_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0),
      previous_(current_.size(), 0) {}

void CRippleField::Drop(int x, int y, int radius, int strength) {
    if (radius <= 0 || width_ == 0 || height_ == 0)
        return;
    const int left = std::max(x - radius, 1);
    const int right = std::min(x + radius, width_ - 2);
    const int top = std::max(y - radius, 1);
    const int bottom = std::min(y + radius, height_ - 2);
    const double r2 = double(radius) * radius;
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            const double d2 = double(px - x) * (px - x) + double(py - y) * (py - y);
            if (d2 > r2)
                continue;
            // A smooth dent: full depth in the middle, none at the rim.
            const double depth = strength * 0.5 * (1.0 + std::cos(M_PI * std::sqrt(d2 / r2)));
            current_[Index(px, py)] -= static_cast<int>(depth);
        }
    }
}

void CRippleField::Step() {
    if (width_ < 3 || height_ < 3)
        return;
    // The border stays flat, so waves reflect off the picture's edges.
    for (int y = 1; y < height_ - 1; ++y) {
        const int row = y * width_;
        for (int x = 1; x < width_ - 1; ++x) {
            const int i = row + x;
            int h = ((current_[i - 1] + current_[i + 1] + current_[i - width_] +
                      current_[i + width_]) >>
                     1) -
                    previous_[i];
            h -= h >> kDampingShift;
            previous_[i] = h;
        }
    }
    std::swap(current_, previous_);
}

bool CRippleField::IsCalm() const {
    auto flat = [](int h) { return h == 0; };
    return std::all_of(current_.begin(), current_.end(), flat) &&
           std::all_of(previous_.begin(), previous_.end(), flat);
}

void CRippleField::Render(const std::uint32_t* src, int srcStride, std::uint32_t* dst,
                          int dstStride) const {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const int left = x > 0 ? current_[Index(x - 1, y)] : 0;
            const int right = x < width_ - 1 ? current_[Index(x + 1, y)] : 0;
            const int up = y > 0 ? current_[Index(x, y - 1)] : 0;
            const int down = y < height_ - 1 ? current_[Index(x, y + 1)] : 0;
            const int dx = left - right;
            const int dy = up - down;
            const int sx = std::clamp(x + (dx >> kRefractionShift), 0, width_ - 1);
            const int sy = std::clamp(y + (dy >> kRefractionShift), 0, height_ - 1);
            std::uint32_t pixel = src[sy * srcStride + sx];
            const int shade = std::clamp(dx >> kShadeShift, -48, 48);
            if (shade != 0) {
                auto channel = [shade](std::uint32_t p, int shift) {
                    const int c = int((p >> shift) & 0xFF) + shade;
                    return std::uint32_t(std::clamp(c, 0, 255)) << shift;
                };
                pixel = (pixel & 0xFF000000u) | channel(pixel, 16) | channel(pixel, 8) |
                        channel(pixel, 0);
            }
            dst[y * dstStride + x] = pixel;
        }
    }
}

CRippleDrops::CRippleDrops(std::function<unsigned()> random, int divisor)
    : random_(std::move(random)), divisor_(std::max(divisor, 1)) {}

bool CRippleDrops::OnTick(int width, int height, Drop& drop) {
    if (width <= 0 || height <= 0 || random_() % unsigned(divisor_) != 0)
        return false;
    const int x = int(random_() % unsigned(width));
    const int y = int(random_() % unsigned(height));
    drop = {x, y, kSmallRadius, kSmallStrength};
    return true;
}

CRippleDrops::Drop CRippleDrops::OnMouseMove(int x, int y, bool leftButtonHeld) {
    if (leftButtonHeld)
        return {x, y, kBigRadius, kBigStrength};
    return {x, y, kSmallRadius, kSmallStrength};
}

CRippleDrops::Drop CRippleDrops::OnMousePress(int x, int y) {
    return {x, y, kBigRadius, kBigStrength};
}

}  // namespace zorvel
