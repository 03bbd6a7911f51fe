#include "notes/core/note_placement.h"

#include <algorithm>
#include <limits>

namespace zorvel::notes {

namespace {

long long OverlapArea(const Point& a, const Point& b) {
    const long long w = std::min(a.x, b.x) + kNoteWidth - std::max(a.x, b.x);
    const long long h = std::min(a.y, b.y) + kNoteHeight - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

std::vector<Point> RowPlaces(const Area& area) {
    const int columns = std::max(1, area.width / kNoteWidth);
    const int rows = std::max(1, area.height / kNoteHeight);
    // A screen narrower than one note still shows the note from its left edge.
    const int right = std::max(area.x + kNoteWidth, area.x + area.width);
    std::vector<Point> places;
    places.reserve(static_cast<size_t>(columns) * rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            places.push_back({right - (column + 1) * kNoteWidth, area.y + row * kNoteHeight});
    return places;
}

Point FirstFreePlace(const Area& area, const std::vector<Point>& shown) {
    const std::vector<Point> places = RowPlaces(area);
    Point best = places.front();
    long long bestCovered = std::numeric_limits<long long>::max();
    for (const Point& place : places) {
        long long covered = 0;
        for (const Point& note : shown)
            covered += OverlapArea(place, note);
        if (covered == 0)
            return place;
        if (covered < bestCovered) {
            bestCovered = covered;
            best = place;
        }
    }
    return best;
}

}  // namespace zorvel::notes
