#pragma once

#include <vector>

namespace zorvel::notes {

// A desktop note's picture, in pixels.
inline constexpr int kNoteWidth = 150;
inline constexpr int kNoteHeight = 159;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle of the desktop, in pixels.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The places of the row of notes in `area` (the part of the primary screen that windows may
// use), in the order notes take them: along the top edge from the right to the left, and when
// the width is used up, row after row below the first. There is always at least one place.
std::vector<Point> RowPlaces(const Area& area);

// Where the next note goes: the first place of the row that none of the notes shown (given by
// their top-left corners) covers. Notes may have been dragged anywhere, so a place counts as
// taken when any note overlaps it. When every place is covered, the place covered least.
Point FirstFreePlace(const Area& area, const std::vector<Point>& shown);

}  // namespace zorvel::notes
