#pragma once

#include <array>

// The clock's drawing rules that need no window: hand angles and pivots, where each glyph of
// the digital read-out comes from, which face frame is next, and the constant alpha.
namespace zorvel::clock {

// Where the hands turn, in face pixels.
inline constexpr int kDialCentreX = 140;
inline constexpr int kDialCentreY = 90;

// The digit strip: "0".."9" then the colon, each glyph kGlyphWidth × kGlyphHeight.
inline constexpr int kGlyphWidth = 14;
inline constexpr int kGlyphHeight = 23;
inline constexpr int kColonGlyph = 10;
inline constexpr int kReadoutGlyphs = 8;  // hh:mm:ss
inline constexpr int kReadoutPitch = 20;  // distance between glyphs on the face

struct HandAngles {
    float hour;  // degrees, clockwise on the screen; 0 points up
    float minute;
    float second;
};

// The hand images are painted pointing down, so each angle carries a −180 that turns them up.
HandAngles AnglesAt(int hour, int minute, int second);

enum class Hand { kHour, kMinute, kSecond };

struct PixelPoint {
    int x;
    int y;
};

struct PointF {
    double x;
    double y;
};

// The point of a w × h hand image that sits on the dial centre: (⌊w/2⌋, ⌊h/d⌋) with d = 6
// for the hour and minute hands and 7 for the second hand.
PixelPoint HandPivot(Hand hand, int width, int height);

// Where a point q of a hand image lands on the face for a hand turned by `degrees`:
// centre + Rotate(degrees) · (q − pivot), with y pointing down.
PointF MapHandPoint(PointF q, PixelPoint pivot, double degrees);

struct GlyphRect {
    int x;
    int y;
    int width;
    int height;
    friend bool operator==(const GlyphRect&, const GlyphRect&) = default;
};

// Source rectangle in the digit strip of glyph 0–9, or kColonGlyph for the colon.
GlyphRect GlyphSource(int glyph);

// The eight glyphs of "hh:mm:ss" in order; glyph i goes to (i × kReadoutPitch, 0).
std::array<int, kReadoutGlyphs> ReadoutGlyphs(int hour, int minute, int second);
std::array<GlyphRect, kReadoutGlyphs> ReadoutSources(int hour, int minute, int second);

// Opacity percentage to constant alpha: out-of-range values mean 100, and p × 2.55 is
// truncated, so 100 gives 254.
int ConstantAlpha(int percent);

enum class FaceFrame { kA, kB };

// The face alternates between its two frames on every draw, starting with B, which makes
// the picture move once a second at two draws a second.
class FaceFrameSequence {
public:
    FaceFrame Next() {
        FaceFrame frame = showA_ ? FaceFrame::kA : FaceFrame::kB;
        showA_ = !showA_;
        return frame;
    }

private:
    bool showA_ = false;
};

}  // namespace zorvel::clock
