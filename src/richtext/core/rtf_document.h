#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A memo as the rich-text editor keeps it: paragraphs of runs, with exactly the formats its
// toolbar can set. The RTF reader and writer work on this model, so whatever the editor can
// show it can also store, and whatever it reads back it can show.
namespace zorvel::rtf {

// Lengths are in twips (1/20 point, 1/1440 inch), as RTF has them.
constexpr int kBulletIndent = 360;  // how far a bullet moves its paragraph's text right
constexpr int kTabStopTwips = 640;  // the editor's default tab stops: 640, 1280, ...
constexpr int kTabStopCount = 32;
constexpr int kMaxIndent = 31680;  // 22 inches, RichEdit's own limit

// The editor's default face and size: Times New Roman, 10 pt.
inline const std::u16string kDefaultFont = u"Times New Roman";
constexpr int kDefaultHalfPoints = 20;
// Longer face names are cut: no font has one, and every run and paragraph holds a copy.
constexpr size_t kMaxFontName = 255;
// Runs of at least this many empty paragraphs of one format are kept as one paragraph with
// followingBlanks; shorter runs stay paragraphs of their own, as they were written.
constexpr int kMinBlankRun = 1000;

struct CharFormat {
    std::u16string font = kDefaultFont;
    int halfPoints = kDefaultHalfPoints;  // font size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<std::uint32_t> color;  // 0xRRGGBB; none: the automatic text colour

    bool operator==(const CharFormat&) const = default;
};

enum class Align { kLeft, kCenter, kRight, kJustify };

struct ParaFormat {
    Align align = Align::kLeft;
    int leftIndent = 0;  // before a bullet's own kBulletIndent
    int rightIndent = 0;
    int firstIndent =
        0;  // of the first line, from leftIndent (negative: hanging); none with bullets
    bool bullet = false;

    bool operator==(const ParaFormat&) const = default;
};

// Text of one format. Tabs are '\t', line breaks inside a paragraph U+2028; no other
// control characters.
struct Run {
    std::u16string text;
    CharFormat format;

    bool operator==(const Run&) const = default;
};

struct Paragraph {
    ParaFormat format;
    std::vector<Run> runs;
    // The format of the paragraph's end: what typing into it gets when it is empty.
    CharFormat markFormat;
    // This many more empty paragraphs of the same formats follow this one, itself empty. A
    // long run of blank lines is kept as one paragraph, so that it is laid out as one.
    int followingBlanks = 0;

    bool operator==(const Paragraph&) const = default;
};

struct Document {
    std::vector<Paragraph> paragraphs;

    bool operator==(const Document&) const = default;
};

}  // namespace zorvel::rtf
