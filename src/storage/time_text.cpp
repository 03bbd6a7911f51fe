#include "storage/time_text.h"

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

std::optional<std::time_t> ParseTimeText(const std::string& text) {
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
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return t;
}

}  // namespace zorvel
