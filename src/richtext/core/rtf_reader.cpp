#include "richtext/core/rtf_reader.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zorvel::rtf {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// Deeper groups keep no state of their own: their text is read in the state of the deepest
// group kept, without their formats. Real documents stay far below this.
constexpr size_t kMaxDepth = 256;
// The most blank paragraphs one paragraph stands for.
constexpr int kMaxFollowingBlanks = 1 << 30;
constexpr int kRtfDefaultHalfPoints = 24;  // RTF's own default where \fs is not given

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Decodes UTF-8; each byte of a malformed sequence becomes U+FFFD. `valid` tells whether
// there was none.
std::u16string DecodeUtf8(std::string_view in, bool* valid = nullptr) {
    std::u16string out;
    out.reserve(in.size());
    bool ok = true;
    size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        int length = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            length = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4, cp = b & 0x07, min = 0x10000;
        }
        bool good = length > 0 && i + length <= in.size();
        for (int k = 1; good && k < length; ++k) {
            const auto t = static_cast<unsigned char>(in[i + k]);
            good = (t & 0xC0) == 0x80;
            cp = (cp << 6) | (t & 0x3F);
        }
        good = good && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (good) {
            AppendCodePoint(out, cp);
            i += length;
        } else {
            out += kReplacement;
            ok = false;
            ++i;
        }
    }
    if (valid)
        *valid = ok;
    return out;
}

// The Windows code page a font's \fcharset stands for; 0 for the document's own.
int CharsetCodePage(int charset) {
    // Symbol fonts (2) have no code page of their own; Windows-1252 is the best guess.
    static constexpr std::pair<int, int> kPages[] = {
        {0, 1252},   {2, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
        {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
        {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850}};
    for (const auto& [set, page] : kPages)
        if (set == charset)
            return page;
    return 0;
}

std::string IconvName(int codePage) {
    switch (codePage) {
        case 936:
            // GB18030 reads every GBK byte pair the same and knows more.
            return "GB18030";
        case 950:
            return "BIG5";
        case 10000:
            return "MACINTOSH";
        case 65001:
            return "UTF-8";
        default:
            return "CP" + std::to_string(codePage);
    }
}

const char* Utf16Name() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// Converters from Windows code pages, opened once per reading.
class CodePages {
public:
    CodePages() = default;
    CodePages(const CodePages&) = delete;
    CodePages& operator=(const CodePages&) = delete;
    ~CodePages() {
        for (auto& [page, cd] : converters_)
            if (cd != kNone)
                iconv_close(cd);
    }

    std::u16string Decode(std::string_view bytes, int codePage) {
        iconv_t cd = Converter(codePage);
        std::u16string out;
        if (cd == kNone) {
            for (char c : bytes)  // Latin-1, the last resort
                out += static_cast<char16_t>(static_cast<unsigned char>(c));
            return out;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> buffer(bytes.size() * 4 + 16);
        char* src = const_cast<char*>(bytes.data());
        size_t left = bytes.size();
        std::string raw;
        while (left > 0) {
            char* dst = buffer.data();
            size_t room = buffer.size();
            const size_t rc = iconv(cd, &src, &left, &dst, &room);
            raw.append(buffer.data(), static_cast<size_t>(dst - buffer.data()));
            if (rc == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                // A byte the code page does not have, or a lead byte without its trail.
                ++src;
                --left;
                char16_t r = kReplacement;
                raw.append(reinterpret_cast<const char*>(&r), 2);
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        out.resize(raw.size() / 2);
        std::memcpy(out.data(), raw.data(), out.size() * 2);
        return out;
    }

private:
    // iconv_open's documented failure value.
    static inline const iconv_t kNone =
        reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

    iconv_t Converter(int codePage) {
        if (auto it = converters_.find(codePage); it != converters_.end())
            return it->second;
        iconv_t cd = iconv_open(Utf16Name(), IconvName(codePage).c_str());
        if (cd == kNone && codePage != 1252)
            cd = iconv_open(Utf16Name(), "CP1252");
        converters_[codePage] = cd;
        return cd;
    }

    std::unordered_map<int, iconv_t> converters_;
};

// A surrogate without its partner is no character.
void SanitizeSurrogates(std::u16string& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        const bool high = t[i] >= 0xD800 && t[i] <= 0xDBFF;
        const bool low = t[i] >= 0xDC00 && t[i] <= 0xDFFF;
        if (high && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF)
            ++i;
        else if (high || low)
            t[i] = kReplacement;
    }
}

enum class Dest { kBody, kSkip, kFontTable, kColorTable, kPn };

// Paragraph properties as RTF gives them: \li includes a bullet's indent.
struct RawPara {
    Align align = Align::kLeft;
    int li = 0;
    int ri = 0;
    int fi = 0;
    bool bullet = false;
};

struct State {
    Dest dest = Dest::kBody;
    int font = -1;  // font number; -1: the document's default font
    int halfPoints = kRtfDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;  // colour table index; 0 (or none there): automatic
    RawPara para;
    int uc = 1;       // bytes of fallback after each \uN
    int pnKind = -1;  // in a \pn group: -1 not said, 0 no bullet, 1 bullet
};

struct FontEntry {
    std::u16string name;
    int charset = -1;
    int codePage = 0;
};

bool IsSkippedDestination(std::string_view word) {
    static constexpr std::string_view kWords[] = {"stylesheet", "info",
                                                  "pict",       "object",
                                                  "header",     "headerl",
                                                  "headerr",    "headerf",
                                                  "footer",     "footerl",
                                                  "footerr",    "footerf",
                                                  "footnote",   "annotation",
                                                  "pntext",     "listtext",
                                                  "listtable",  "listoverridetable",
                                                  "rsidtbl",    "generator",
                                                  "themedata",  "colorschememapping",
                                                  "datastore",  "latentstyles",
                                                  "xmlnstbl",   "revtbl",
                                                  "filetbl",    "bkmkstart",
                                                  "bkmkend",    "nonshppict",
                                                  "shp",        "shpinst",
                                                  "shppict",    "shprslt",
                                                  "sp",         "sn",
                                                  "sv",         "template",
                                                  "xe",         "tc",
                                                  "txe",        "docvar",
                                                  "userprops",  "pgdsctbl",
                                                  "pntxtb",     "pntxta",
                                                  "fldinst",    "atnid",
                                                  "atnauthor",  "ftnsep",
                                                  "ftnsepc",    "ftncn",
                                                  "aftnsep",    "aftnsepc",
                                                  "aftncn",     "objdata"};
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

bool IsDestination(std::string_view word) {
    return word == "fonttbl" || word == "colortbl" || word == "pn" || IsSkippedDestination(word);
}

// Words that stand for text (or a paragraph's end) rather than for a format.
bool IsTextWord(std::string_view word) {
    static constexpr std::string_view kWords[] = {
        "u",       "par",      "row",    "page",   "line",      "tab",
        "cell",    "nestcell", "emdash", "endash", "emspace",   "enspace",
        "qmspace", "bullet",   "lquote", "rquote", "ldblquote", "rdblquote"};
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) { document_.paragraphs.emplace_back(); }

    Document Read() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                OpenGroup();
            } else if (c == '}') {
                ++pos_;
                CloseGroup();
            } else if (c == '\\') {
                ++pos_;
                ControlOrSymbol();
            } else {
                ++pos_;
                if (c != '\r' && c != '\n')
                    TextByte(c, false);
            }
        }
        Flush();
        return Finish();
    }

private:
    // ------------------------------------------------------------------ groups

    void OpenGroup() {
        Flush();
        skipFallback_ = 0;
        starred_ = false;
        groupStart_ = true;
        if (overflow_ > 0 || stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(cur_);
    }

    void CloseGroup() {
        Flush();
        skipFallback_ = 0;
        groupStart_ = starred_ = false;
        if (overflow_ > 0) {
            if (overflowSkip_ == overflow_)
                overflowSkip_ = 0;
            --overflow_;
            return;
        }
        if (stack_.empty())
            return;  // one closing brace too many: passed over
        const State closing = cur_;
        cur_ = stack_.back();
        stack_.pop_back();
        // Leaving the font table, or a font entry's own group inside it, ends the entry.
        if (closing.dest == Dest::kFontTable &&
            (cur_.dest != Dest::kFontTable || (fontEntryOpen_ && stack_.size() < fontDepth_)))
            EndFontEntry();
        if (closing.dest == Dest::kPn && cur_.dest != Dest::kPn && closing.pnKind >= 0)
            cur_.para.bullet = closing.pnKind == 1;
    }

    // ------------------------------------------------------------------ control words

    void ControlOrSymbol() {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (IsLetter(c)) {
            const size_t start = pos_;
            while (pos_ < in_.size() && IsLetter(in_[pos_]))
                ++pos_;
            // Words longer than any RTF word cannot match one; keep them short.
            const std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
            bool hasParam = false;
            long long param = 0;
            bool negative = false;
            if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            while (pos_ < in_.size() && IsDigit(in_[pos_])) {
                hasParam = true;
                if (param < INT_MAX)
                    param = param * 10 + (in_[pos_] - '0');
                ++pos_;
            }
            if (pos_ < in_.size() && in_[pos_] == ' ')
                ++pos_;
            param = std::min<long long>(param, INT_MAX);
            ControlWord(word, hasParam, static_cast<int>(negative ? -param : param));
        } else if (c == '\'') {
            ++pos_;
            if (pos_ + 1 < in_.size() && HexValue(in_[pos_]) >= 0 && HexValue(in_[pos_ + 1]) >= 0) {
                const int value = HexValue(in_[pos_]) * 16 + HexValue(in_[pos_ + 1]);
                pos_ += 2;
                TextByte(static_cast<char>(value), true);
            }
        } else {
            ++pos_;
            ControlSymbol(c);
        }
    }

    void ControlSymbol(char c) {
        if (overflowSkip_ > 0)
            return;
        if (c == '*') {
            // Marks the group as one to pass over unless its first word is known.
            if (groupStart_)
                starred_ = true;
            return;
        }
        groupStart_ = starred_ = false;
        if (c == '\\' || c == '{' || c == '}') {
            TextByte(c, false);
            return;
        }
        if (cur_.dest == Dest::kSkip)
            return;
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        switch (c) {
            case '~':
                Text(u"\u00A0");
                break;
            case '_':
                Text(u"\u2011");
                break;
            case '\r':
            case '\n':
                if (cur_.dest == Dest::kBody)
                    EndParagraph();
                break;
            default:  // optional hyphens, index marks and the like: nothing to show
                break;
        }
    }

    void ControlWord(std::string_view word, bool hasParam, int param) {
        if (word == "bin") {
            // Binary data follows, which must not be read as RTF.
            Flush();
            const size_t n = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (overflowSkip_ > 0)
            return;
        const bool starred = std::exchange(starred_, false);
        groupStart_ = false;
        if (cur_.dest == Dest::kSkip)
            return;
        if (overflow_ > 0) {
            // Too deep for a state of its own: a destination is passed over up to the end of
            // its group, and of the other words only those that stand for text count, as
            // formats would outlast their group.
            if (starred || IsDestination(word)) {
                overflowSkip_ = overflow_;
                return;
            }
            if (!IsTextWord(word))
                return;
        }
        if (word == "u") {
            // A character right after another is that character, not the other's fallback.
            skipFallback_ = 0;
        } else if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        Flush();

        // Destinations.
        if (word == "fonttbl") {
            cur_.dest = Dest::kFontTable;
            fontDepth_ = stack_.size();
            return;
        }
        if (word == "colortbl") {
            cur_.dest = Dest::kColorTable;
            return;
        }
        if (word == "pn") {
            cur_.dest = Dest::kPn;
            cur_.pnKind = -1;
            return;
        }
        if (IsSkippedDestination(word)) {
            cur_.dest = Dest::kSkip;
            return;
        }

        // Words that count everywhere.
        if (word == "u") {
            int value = param;
            if (value < 0)
                value += 65536;
            skipFallback_ = cur_.uc;
            if (value > 0 && value <= 0xFFFF) {
                const char16_t unit = static_cast<char16_t>(value);
                Text(std::u16string_view(&unit, 1));
            }
            return;
        }
        if (word == "uc") {
            cur_.uc = hasParam ? std::clamp(param, 0, 16) : 1;
            return;
        }
        if (word == "ansicpg") {
            if (param > 0)
                codePage_ = param;
            return;
        }
        if (word == "ansi") {
            codePage_ = 1252;
            return;
        }
        if (word == "mac") {
            codePage_ = 10000;
            return;
        }
        if (word == "pc") {
            codePage_ = 437;
            return;
        }
        if (word == "pca") {
            codePage_ = 850;
            return;
        }
        if (word == "deff") {
            defaultFont_ = param;
            return;
        }

        if (starred) {
            // An optional destination we do not know: its contents are not text.
            cur_.dest = Dest::kSkip;
            return;
        }

        switch (cur_.dest) {
            case Dest::kFontTable:
                FontTableWord(word, param);
                return;
            case Dest::kColorTable:
                if (word == "red")
                    red_ = std::clamp(param, 0, 255);
                else if (word == "green")
                    green_ = std::clamp(param, 0, 255);
                else if (word == "blue")
                    blue_ = std::clamp(param, 0, 255);
                else
                    return;
                colorGiven_ = true;
                return;
            case Dest::kPn:
                if (word == "pnlvlblt" || word == "pnlvlbody" || word == "pnlvl")
                    cur_.pnKind = 1;
                else if (word == "pnlvlcont")
                    cur_.pnKind = 0;
                return;
            case Dest::kSkip:
                return;
            case Dest::kBody:
                BodyWord(word, hasParam, param);
                return;
        }
    }

    void BodyWord(std::string_view word, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        RawPara& para = cur_.para;
        // Room for a bullet's indent on top of the largest one; the model clamps the rest.
        auto indent = [&] { return std::clamp(param, -2 * kMaxIndent, 2 * kMaxIndent); };

        if (word == "par" || word == "row" || word == "page") {
            EndParagraph();
        } else if (word == "line") {
            Text(u"\u2028");
        } else if (word == "tab" || word == "cell" || word == "nestcell") {
            Text(u"\t");
        } else if (word == "pard") {
            para = RawPara{};
        } else if (word == "plain") {
            cur_.font = -1;
            cur_.halfPoints = kRtfDefaultHalfPoints;
            cur_.bold = cur_.italic = cur_.underline = false;
            cur_.color = 0;
        } else if (word == "f") {
            cur_.font = hasParam ? param : -1;
        } else if (word == "fs") {
            cur_.halfPoints = param > 0 ? std::min(param, 3276) : kRtfDefaultHalfPoints;
        } else if (word == "b") {
            cur_.bold = on;
        } else if (word == "i") {
            cur_.italic = on;
        } else if (word == "ulnone") {
            cur_.underline = false;
        } else if (word.starts_with("ul") && word != "ulc") {
            // \ul and its dotted, double, wavy, ... kinds.
            cur_.underline = on;
        } else if (word == "cf") {
            cur_.color = param;
        } else if (word == "ql") {
            para.align = Align::kLeft;
        } else if (word == "qc") {
            para.align = Align::kCenter;
        } else if (word == "qr") {
            para.align = Align::kRight;
        } else if (word == "qj" || word == "qd") {
            para.align = Align::kJustify;
        } else if (word == "li" || word == "lin") {
            para.li = indent();
        } else if (word == "ri" || word == "rin") {
            para.ri = indent();
        } else if (word == "fi") {
            para.fi = indent();
        } else if (word == "ls") {
            // A list of any kind shows as bullets: numbers are not kept.
            para.bullet = param > 0;
        } else if (word == "emdash") {
            Text(u"\u2014");
        } else if (word == "endash") {
            Text(u"\u2013");
        } else if (word == "emspace") {
            Text(u"\u2003");
        } else if (word == "enspace") {
            Text(u"\u2002");
        } else if (word == "qmspace") {
            Text(u"\u2005");
        } else if (word == "bullet") {
            Text(u"\u2022");
        } else if (word == "lquote") {
            Text(u"\u2018");
        } else if (word == "rquote") {
            Text(u"\u2019");
        } else if (word == "ldblquote") {
            Text(u"\u201C");
        } else if (word == "rdblquote") {
            Text(u"\u201D");
        }
    }

    void FontTableWord(std::string_view word, int param) {
        if (word == "f") {
            EndFontEntry();
            fontEntry_ = param;
            fontEntryOpen_ = true;
            entry_ = FontEntry{};
            fontDepth_ = stack_.size();
        } else if (word == "fcharset") {
            entry_.charset = param;
        } else if (word == "cpg") {
            entry_.codePage = param;
        }
    }

    void EndFontEntry() {
        if (!fontEntryOpen_)
            return;
        fontEntryOpen_ = false;
        // Names are trimmed and hold no control characters; a font listed twice keeps its
        // first entry.
        std::u16string& name = entry_.name;
        std::erase_if(name, [](char16_t c) {
            return c < 0x20 || c == 0x7F || c == u';' || c == u'\uFFFC' || c == u'\u2028' ||
                   c == u'\u2029';
        });
        SanitizeSurrogates(name);
        size_t first = 0;
        while (first < name.size() && (name[first] == u' ' || name[first] == u'\t'))
            ++first;
        name.erase(0, first);
        if (name.size() > kMaxFontName) {
            // Not between the two halves of a surrogate pair.
            const bool splitsPair =
                name[kMaxFontName - 1] >= 0xD800 && name[kMaxFontName - 1] <= 0xDBFF;
            name.resize(splitsPair ? kMaxFontName - 1 : kMaxFontName);
        }
        while (!name.empty() && (name.back() == u' ' || name.back() == u'\t'))
            name.pop_back();
        fonts_.emplace(fontEntry_, entry_);
    }

    // ------------------------------------------------------------------ text

    // One byte of text, raw or written as \'hh (or as an escaped brace or backslash).
    void TextByte(char c, bool escaped) {
        if (overflowSkip_ > 0)
            return;
        groupStart_ = starred_ = false;
        if (cur_.dest == Dest::kSkip || cur_.dest == Dest::kPn)
            return;
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        if (cur_.dest == Dest::kColorTable) {
            if (c == ';' && !escaped) {
                colors_.push_back(
                    colorGiven_ ? std::optional<std::uint32_t>((red_ << 16) | (green_ << 8) | blue_)
                                : std::nullopt);
                red_ = green_ = blue_ = 0;
                colorGiven_ = false;
            }
            return;
        }
        if (cur_.dest == Dest::kFontTable && c == ';' && !escaped) {
            Flush();
            EndFontEntry();
            return;
        }
        if (c == '\t' && !escaped) {
            Text(u"\t");
            return;
        }
        const int page = CurrentCodePage();
        if (!pending_.empty() && page != pendingPage_)
            Flush();
        pending_ += c;
        pendingPage_ = page;
        pendingEscaped_ = pendingEscaped_ || escaped;
    }

    // Decodes the bytes gathered so far: raw UTF-8 as UTF-8 (the editor hands its text over
    // that way), anything else in the code page in force.
    void Flush() {
        if (pending_.empty())
            return;
        std::u16string text;
        bool valid = false;
        if (!pendingEscaped_)
            text = DecodeUtf8(pending_, &valid);
        if (!valid)
            text = codePages_.Decode(pending_, pendingPage_);
        pending_.clear();
        pendingEscaped_ = false;
        Sink(text);
    }

    void Text(std::u16string_view text) {
        Flush();
        Sink(text);
    }

    void Sink(std::u16string_view text) {
        if (cur_.dest == Dest::kFontTable) {
            if (fontEntryOpen_)
                entry_.name.append(text);
            return;
        }
        if (cur_.dest != Dest::kBody)
            return;
        std::u16string clean;
        clean.reserve(text.size());
        for (char16_t c : text) {
            if (c == u'\u2029')
                clean += u'\u2028';  // a paragraph mark inside text breaks the line only
            else if (c == u'\t' || (c >= 0x20 && c != 0x7F && c != u'\uFFFC'))
                clean += c;
        }
        if (clean.empty())
            return;
        Paragraph& p = document_.paragraphs.back();
        CharFormat format = Effective();
        if (!p.runs.empty() && p.runs.back().format == format)
            p.runs.back().text += clean;
        else
            p.runs.push_back(Run{std::move(clean), format});
        p.format = ModelPara();
        p.markFormat = std::move(format);
    }

    void EndParagraph() {
        auto& paragraphs = document_.paragraphs;
        Paragraph& p = paragraphs.back();
        p.format = ModelPara();
        p.markFormat = Effective();
        // An empty paragraph like the empty one before it joins that one's run, so that a
        // million blank lines take the memory of one; Finish parts the short runs again.
        if (p.runs.empty() && paragraphs.size() > 1) {
            Paragraph& before = paragraphs[paragraphs.size() - 2];
            if (before.runs.empty() && before.format == p.format &&
                before.markFormat == p.markFormat && before.followingBlanks < kMaxFollowingBlanks) {
                ++before.followingBlanks;
                p = Paragraph{};
                return;
            }
        }
        paragraphs.emplace_back();
    }

    // ------------------------------------------------------------------ formats

    const FontEntry* Font(int number) const {
        auto it = fonts_.find(number < 0 ? defaultFont_ : number);
        if (it == fonts_.end() && number >= 0)
            it = fonts_.find(defaultFont_);
        return it == fonts_.end() ? nullptr : &it->second;
    }

    int CurrentCodePage() const {
        const FontEntry* font = cur_.dest == Dest::kFontTable ? &entry_ : Font(cur_.font);
        if (font && font->codePage > 0)
            return font->codePage;
        if (font) {
            if (int page = CharsetCodePage(font->charset); page > 0)
                return page;
        }
        return codePage_;
    }

    CharFormat Effective() const {
        CharFormat f;
        const FontEntry* font = Font(cur_.font);
        f.font = font && !font->name.empty() ? font->name : kDefaultFont;
        f.halfPoints = std::clamp(cur_.halfPoints, 2, 3276);
        f.bold = cur_.bold;
        f.italic = cur_.italic;
        f.underline = cur_.underline;
        if (cur_.color > 0 && static_cast<size_t>(cur_.color) < colors_.size())
            f.color = colors_[cur_.color];
        return f;
    }

    ParaFormat ModelPara() const {
        const RawPara& raw = cur_.para;
        ParaFormat f;
        f.align = raw.align;
        f.bullet = raw.bullet;
        f.rightIndent = std::clamp(raw.ri, 0, kMaxIndent);
        if (raw.bullet) {
            f.leftIndent = std::clamp(raw.li - kBulletIndent, 0, kMaxIndent);
        } else {
            f.leftIndent = std::clamp(raw.li, 0, kMaxIndent);
            f.firstIndent = std::clamp(raw.fi, -f.leftIndent, kMaxIndent);
        }
        return f;
    }

    Document Finish() {
        // The paragraph opened by the last \par is the end of the text, not a paragraph of
        // its own, unless something was written into it.
        auto& paragraphs = document_.paragraphs;
        if (paragraphs.size() > 1 && paragraphs.back().runs.empty())
            paragraphs.pop_back();
        for (Paragraph& p : paragraphs)
            for (Run& r : p.runs)
                SanitizeSurrogates(r.text);
        const bool shortRuns = std::any_of(paragraphs.begin(), paragraphs.end(), [](const auto& p) {
            return p.followingBlanks > 0 && p.followingBlanks + 1 < kMinBlankRun;
        });
        if (shortRuns) {
            std::vector<Paragraph> parted;
            for (Paragraph& p : paragraphs) {
                if (p.followingBlanks + 1 >= kMinBlankRun) {
                    parted.push_back(std::move(p));
                    continue;
                }
                const int copies = p.followingBlanks;
                p.followingBlanks = 0;
                for (int i = 0; i < copies; ++i)
                    parted.push_back(p);
                parted.push_back(std::move(p));
            }
            paragraphs = std::move(parted);
        }
        return std::move(document_);
    }

    std::string_view in_;
    size_t pos_ = 0;
    State cur_;
    std::vector<State> stack_;
    int overflow_ = 0;      // depth of groups beyond kMaxDepth
    int overflowSkip_ = 0;  // > 0: passing over a destination opened at that overflow depth
    bool groupStart_ = false;
    bool starred_ = false;
    int skipFallback_ = 0;

    std::string pending_;
    int pendingPage_ = 1252;
    bool pendingEscaped_ = false;
    CodePages codePages_;

    int codePage_ = 1252;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    FontEntry entry_;
    int fontEntry_ = 0;
    bool fontEntryOpen_ = false;
    size_t fontDepth_ = 0;
    std::vector<std::optional<std::uint32_t>> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    Document document_;
};

}  // namespace

Document PlainTextDocument(std::u16string_view text) {
    Document document;
    document.paragraphs.emplace_back();
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == u'\u2029') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            document.paragraphs.emplace_back();
            continue;
        }
        if (c != u'\t' && (c < 0x20 || c == 0x7F))
            continue;
        auto& runs = document.paragraphs.back().runs;
        if (runs.empty())
            runs.emplace_back();
        runs.back().text += c;
    }
    return document;
}

Document ReadRtf(std::string_view bytes) {
    std::string_view rest = bytes;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t' || rest.front() == '\r' ||
                             rest.front() == '\n'))
        rest.remove_prefix(1);
    if (!rest.starts_with("{\\rtf"))
        return PlainTextDocument(DecodeUtf8(bytes));
    return Reader(rest).Read();
}

}  // namespace zorvel::rtf
