#include "app/core/clock_geometry.h"

#include <cmath>
#include <numbers>

namespace zorvel::clock {

HandAngles AnglesAt(int hour, int minute, int second) {
    return HandAngles{
        30.0f * static_cast<float>(hour) + 0.5f * static_cast<float>(minute) - 180.0f,
        6.0f * static_cast<float>(minute) - 180.0f,
        6.0f * static_cast<float>(second) - 180.0f,
    };
}

PixelPoint HandPivot(Hand hand, int width, int height) {
    const int divisor = hand == Hand::kSecond ? 7 : 6;
    return PixelPoint{width / 2, height / divisor};
}

PointF MapHandPoint(PointF q, PixelPoint pivot, double degrees) {
    const double rad = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    const double dx = q.x - pivot.x;
    const double dy = q.y - pivot.y;
    // With y downwards this matrix turns clockwise on the screen.
    return PointF{kDialCentreX + c * dx - s * dy, kDialCentreY + s * dx + c * dy};
}

GlyphRect GlyphSource(int glyph) {
    return GlyphRect{glyph * kGlyphWidth, 0, kGlyphWidth, kGlyphHeight};
}

std::array<int, kReadoutGlyphs> ReadoutGlyphs(int hour, int minute, int second) {
    return {hour / 10,   hour % 10,   kColonGlyph, minute / 10,
            minute % 10, kColonGlyph, second / 10, second % 10};
}

std::array<GlyphRect, kReadoutGlyphs> ReadoutSources(int hour, int minute, int second) {
    std::array<GlyphRect, kReadoutGlyphs> rects{};
    const auto glyphs = ReadoutGlyphs(hour, minute, second);
    for (int i = 0; i < kReadoutGlyphs; ++i)
        rects[i] = GlyphSource(glyphs[i]);
    return rects;
}

int ConstantAlpha(int percent) {
    if (percent < 0 || percent > 100)
        percent = 100;
    return static_cast<int>(percent * 2.55);
}

}  // namespace zorvel::clock
