#include "storage/time_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zorvel {

std::string FormatTimeText(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[128];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

std::string FormatTimeText(TimePoint t) {
    return FormatTimeText(std::chrono::system_clock::to_time_t(t));
}

namespace {

// Reads exactly `width` digits, or fewer when the field ends early (at a non-digit).
bool ReadNumber(const std::string& s, size_t& pos, int maxWidth, int& value) {
    size_t start = pos;
    value = 0;
    while (pos < s.size() && pos - start < static_cast<size_t>(maxWidth) &&
           std::isdigit(static_cast<unsigned char>(s[pos]))) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return pos > start;
}

bool Expect(const std::string& s, size_t& pos, char c) {
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

}  // namespace

std::optional<TimeFields> ReadTimeFields(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    int y, mo, d, h, mi, s;
    if (!ReadNumber(text, pos, 4, y) || !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, mo) ||
        !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, d) || !Expect(text, pos, ' ') ||
        !ReadNumber(text, pos, 2, h) || !Expect(text, pos, ':') || !ReadNumber(text, pos, 2, mi) ||
        !Expect(text, pos, ':') || !ReadNumber(text, pos, 2, s))
        return std::nullopt;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    if (y < 1900 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 ||
        s > 59)
        return std::nullopt;
    return TimeFields{y, mo, d, h, mi, s};
}

std::optional<std::time_t> ParseTimeText(const std::string& text) {
    const auto f = ReadTimeFields(text);
    if (!f)
        return std::nullopt;
    return LocalMoment(f->year, f->month, f->day, f->hour, f->minute, f->second);
}

namespace {
// The reading of the local clock at `t`, counted like a time_t as if it were UTC, so that two
// readings compare and subtract as plain numbers.
std::time_t WallClockAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return timegm(&tm);
}

// Seconds east of UTC in force at `t`.
long OffsetAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}
}  // namespace

std::optional<std::time_t> LocalMoment(int year, int month, int day, int hour, int minute,
                                       int second) {
    std::tm wanted{};
    wanted.tm_year = year - 1900;
    wanted.tm_mon = month - 1;
    wanted.tm_mday = day;
    wanted.tm_hour = hour;
    wanted.tm_min = minute;
    wanted.tm_sec = second;
    // Carried over in UTC, where every day has 24 hours.
    const std::time_t wall = timegm(&wanted);
    std::tm tm = wanted;
    tm.tm_isdst = -1;
    const std::time_t guess = std::mktime(&tm);
    if (guess == static_cast<std::time_t>(-1) && WallClockAt(-1) != wall)
        return std::nullopt;
    // Where the offset from UTC is the same a day before and a day after, the clock neither
    // skips nor repeats anything near this time: the C library's answer is the one.
    const long before = OffsetAt(guess - 86400);
    const long after = OffsetAt(guess + 86400);
    if (before == after && WallClockAt(guess) == wall)
        return guess;
    // Near a change, mktime answers a repeated or skipped time by what it was asked before.
    // Each offset gives a reading; a time shown twice takes the first.
    std::optional<std::time_t> first;
    for (const long offset : {before, after}) {
        const std::time_t t = wall - offset;
        if (WallClockAt(t) == wall && (!first || t < *first))
            first = t;
    }
    if (first)
        return first;
    // Skipped: one reading falls before the jump and one after it. The first moment whose clock
    // shows a later time than the one asked for is the jump itself.
    std::time_t low = wall - std::max(before, after);
    std::time_t high = wall - std::min(before, after);
    if (WallClockAt(low) >= wall || WallClockAt(high) < wall)
        return guess;  // some other change of the zone's rules: what the C library makes of it
    while (high - low > 1) {
        const std::time_t middle = low + (high - low) / 2;
        (WallClockAt(middle) >= wall ? high : low) = middle;
    }
    return high;
}

}  // namespace zorvel
