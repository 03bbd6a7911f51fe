#include "app/core/clock_geometry.h"

#include <gtest/gtest.h>

namespace zorvel::clock {
namespace {

// Where the far end (the tip) of a hand image lands: the middle of its bottom edge.
PointF Tip(Hand hand, int w, int h, float degrees) {
    return MapHandPoint({w / 2.0, static_cast<double>(h)}, HandPivot(hand, w, h), degrees);
}

TEST(HandGeometry, AtMidnightEveryHandPointsStraightUp) {
    const HandAngles a = AnglesAt(0, 0, 0);
    EXPECT_FLOAT_EQ(a.hour, -180);
    EXPECT_FLOAT_EQ(a.minute, -180);
    EXPECT_FLOAT_EQ(a.second, -180);
    const PointF hour = Tip(Hand::kHour, 16, 45, a.hour);
    EXPECT_NEAR(hour.x, 140, 1e-9);
    EXPECT_NEAR(hour.y, 90 - (45 - 7), 1e-9);
    const PointF second = Tip(Hand::kSecond, 16, 65, a.second);
    EXPECT_NEAR(second.x, 140, 1e-9);
    EXPECT_NEAR(second.y, 90 - (65 - 9), 1e-9);
}

TEST(HandGeometry, AtThreeTheHourHandPointsRight) {
    const HandAngles a = AnglesAt(3, 0, 0);
    EXPECT_FLOAT_EQ(a.hour, -90);
    const PointF tip = Tip(Hand::kHour, 16, 45, a.hour);
    EXPECT_NEAR(tip.x, 140 + 38, 1e-9);
    EXPECT_NEAR(tip.y, 90, 1e-9);
}

TEST(HandGeometry, HalfPastSixPutsTheHourHandHalfwayToSeven) {
    const HandAngles a = AnglesAt(6, 30, 0);
    EXPECT_FLOAT_EQ(a.hour, 15);
    EXPECT_FLOAT_EQ(a.minute, 0);  // pointing down, at the 6
    // Halfway between 6 and 7 is down and to the left on the screen.
    const PointF tip = Tip(Hand::kHour, 16, 45, a.hour);
    EXPECT_LT(tip.x, 140);
    EXPECT_GT(tip.y, 90);
}

TEST(HandGeometry, PivotIsRoundedDownAndLandsOnTheDialCentre) {
    EXPECT_EQ(HandPivot(Hand::kHour, 16, 45).x, 8);
    EXPECT_EQ(HandPivot(Hand::kHour, 16, 45).y, 7);
    EXPECT_EQ(HandPivot(Hand::kMinute, 16, 60).y, 10);
    EXPECT_EQ(HandPivot(Hand::kSecond, 16, 65).y, 9);
    EXPECT_EQ(HandPivot(Hand::kSecond, 15, 62).x, 7);
    EXPECT_EQ(HandPivot(Hand::kMinute, 15, 65).y, 10);
    for (float angle : {-180.0f, -90.0f, 15.0f, 123.5f}) {
        const PointF p = MapHandPoint({8, 9}, {8, 9}, angle);
        EXPECT_NEAR(p.x, kDialCentreX, 1e-9);
        EXPECT_NEAR(p.y, kDialCentreY, 1e-9);
    }
}

TEST(Readout, GlyphSourcesFor130509) {
    const auto rects = ReadoutSources(13, 5, 9);
    const int xs[] = {14, 42, 140, 0, 70, 140, 0, 126};
    for (int i = 0; i < kReadoutGlyphs; ++i) {
        EXPECT_EQ(rects[i], (GlyphRect{xs[i], 0, 14, 23})) << "glyph " << i;
    }
}

TEST(Readout, KeepsLeadingZerosAndTheDayBoundaries) {
    EXPECT_EQ(ReadoutGlyphs(0, 0, 0), (std::array<int, 8>{0, 0, 10, 0, 0, 10, 0, 0}));
    EXPECT_EQ(ReadoutGlyphs(23, 59, 59), (std::array<int, 8>{2, 3, 10, 5, 9, 10, 5, 9}));
    // A leap second reads 60 rather than wrapping.
    EXPECT_EQ(ReadoutGlyphs(23, 59, 60)[6], 6);
    EXPECT_EQ(GlyphSource(kColonGlyph), (GlyphRect{140, 0, 14, 23}));
}

TEST(ConstantAlpha, TruncatesAndTreatsOutOfRangeAsFull) {
    EXPECT_EQ(ConstantAlpha(50), 127);
    EXPECT_EQ(ConstantAlpha(101), 254);
    EXPECT_EQ(ConstantAlpha(-1), 254);
    EXPECT_EQ(ConstantAlpha(100), 254);
    EXPECT_EQ(ConstantAlpha(255), 254);  // what the clock always asks for
    EXPECT_EQ(ConstantAlpha(0), 0);
    EXPECT_EQ(ConstantAlpha(1), 2);
}

TEST(FaceFrames, AlternateStartingWithB) {
    FaceFrameSequence frames;
    EXPECT_EQ(frames.Next(), FaceFrame::kB);
    EXPECT_EQ(frames.Next(), FaceFrame::kA);
    EXPECT_EQ(frames.Next(), FaceFrame::kB);
    EXPECT_EQ(frames.Next(), FaceFrame::kA);
}

}  // namespace
}  // namespace zorvel::clock
