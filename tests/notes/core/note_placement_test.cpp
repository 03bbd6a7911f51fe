#include "notes/core/note_placement.h"

#include <gtest/gtest.h>

#include "notes/core/wheel_steps.h"

namespace {

using namespace zorvel::notes;

const Area kScreen1280{0, 0, 1280, 800};

// Places notes one after another, as start-up and "添加便笺" do.
std::vector<Point> PlaceEach(const Area& area, int count, std::vector<Point> shown = {}) {
    for (int i = 0; i < count; ++i)
        shown.push_back(FirstFreePlace(area, shown));
    return shown;
}

TEST(NotePlacementTest, StartUpRowRunsAlongTheTopFromTheRight) {
    EXPECT_EQ(PlaceEach(kScreen1280, 3), (std::vector<Point>{{1130, 0}, {980, 0}, {830, 0}}));
    // Below a top panel, on a second screen to the right of another: the row starts at the
    // top right of the free part of that screen.
    const Area right{1920, 27, 1280, 1024 - 27};
    EXPECT_EQ(PlaceEach(right, 2), (std::vector<Point>{{3050, 27}, {2900, 27}}));
}

TEST(NotePlacementTest, RowsWrapBelowInsteadOfLeavingTheScreen) {
    // Eight notes fit into 1280 pixels; the ninth starts a second row, 159 pixels lower.
    const std::vector<Point> shown = PlaceEach(kScreen1280, 10);
    EXPECT_EQ(shown[7], (Point{80, 0}));
    EXPECT_EQ(shown[8], (Point{1130, 159}));
    EXPECT_EQ(shown[9], (Point{980, 159}));
    for (const Point& p : shown)
        EXPECT_GE(p.x, 0);
    // A screen narrower than a note still shows its left part.
    EXPECT_EQ(PlaceEach({0, 0, 100, 600}, 2), (std::vector<Point>{{0, 0}, {0, 159}}));
}

TEST(NotePlacementTest, NewNotesTakeTheFirstFreePlace) {
    // "关闭" on the first of three frees its place, which the next note takes; so does an
    // edited closed note. Nothing lands on a note that is still shown.
    EXPECT_EQ(FirstFreePlace(kScreen1280, {{980, 0}, {830, 0}}), (Point{1130, 0}));
    EXPECT_EQ(FirstFreePlace(kScreen1280, {{1130, 0}, {980, 0}}), (Point{830, 0}));
    EXPECT_EQ(FirstFreePlace(kScreen1280, {{1130, 0}, {830, 0}}), (Point{980, 0}));
    // A note dragged away frees its place; one dragged half over a place takes it.
    EXPECT_EQ(FirstFreePlace(kScreen1280, {{400, 500}}), (Point{1130, 0}));
    EXPECT_EQ(FirstFreePlace(kScreen1280, {{1060, 80}}), (Point{830, 0}));
}

TEST(NotePlacementTest, AFullScreenGivesThePlaceCoveredLeast) {
    const Area small{0, 0, 300, 318};  // four places
    std::vector<Point> shown = PlaceEach(small, 4);
    EXPECT_EQ(shown, (std::vector<Point>{{150, 0}, {0, 0}, {150, 159}, {0, 159}}));
    shown[2].x += 50;  // now covers only two thirds of its place
    EXPECT_EQ(FirstFreePlace(small, shown), (Point{150, 159}));
    shown[0].x += 70;
    EXPECT_EQ(FirstFreePlace(small, shown), (Point{150, 0}));
}

TEST(WheelStepsTest, OneLinePerNotchAndSmallStepsAddUp) {
    WheelSteps wheel;
    EXPECT_EQ(wheel.Add(120), 1);
    EXPECT_EQ(wheel.Add(-120), -1);
    EXPECT_EQ(wheel.Add(240), 2);
    EXPECT_EQ(wheel.Add(60), 0);
    EXPECT_EQ(wheel.Add(60), 1);
    EXPECT_EQ(wheel.Add(0), 0);
    // What is left of a notch counts on in the same direction only.
    EXPECT_EQ(wheel.Add(90), 0);
    EXPECT_EQ(wheel.Add(-100), 0);
    EXPECT_EQ(wheel.Add(-20), -1);
    EXPECT_EQ(wheel.Add(-250), -2);
    EXPECT_EQ(wheel.Add(-110), -1);
}

}  // namespace
