#include "richtext/core/rtf_writer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace zorvel::rtf {

namespace {

bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

// Text as RTF: ASCII as is (with the three special characters escaped), tabs and line breaks
// as their control words, everything else as \uN? with N a signed 16-bit number.
void AppendText(std::string& out, std::u16string_view text) {
    for (char16_t c : text) {
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == u'\u2028' || c == u'\u2029') {
            out += "\\line ";
        } else if (c < 0x20 || c == 0x7F || c == u'\uFFFC') {
            // No other control character (nor an object's place) belongs in a memo.
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            out += std::to_string(static_cast<int16_t>(c));
            out += '?';
        }
    }
}

class Writer {
public:
    explicit Writer(const Document& document) : document_(document) {}

    std::string Write() {
        CollectTables();
        out_ = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            out_ += "{\\f" + std::to_string(i) + "\\fnil\\fcharset";
            out_ += IsAscii(fonts_[i]) ? "0 " : "134 ";
            AppendText(out_, fonts_[i]);
            out_ += ";}";
        }
        out_ += "}\r\n";
        if (!colors_.empty()) {
            // Entry 0 stays empty: the automatic colour.
            out_ += "{\\colortbl ;";
            for (std::uint32_t rgb : colors_) {
                out_ += "\\red" + std::to_string((rgb >> 16) & 0xFF);
                out_ += "\\green" + std::to_string((rgb >> 8) & 0xFF);
                out_ += "\\blue" + std::to_string(rgb & 0xFF) + ';';
            }
            out_ += "}\r\n";
        }
        out_ += "\\viewkind4\\uc1";
        for (const Paragraph& paragraph : document_.paragraphs)
            WriteParagraph(paragraph);
        out_ += "}\r\n";
        return std::move(out_);
    }

private:
    void CollectTables() {
        fonts_.push_back(kDefaultFont);
        auto note = [this](const CharFormat& f) {
            if (std::find(fonts_.begin(), fonts_.end(), FontName(f)) == fonts_.end())
                fonts_.push_back(FontName(f));
            if (f.color && std::find(colors_.begin(), colors_.end(), *f.color) == colors_.end())
                colors_.push_back(*f.color & 0xFFFFFF);
        };
        for (const Paragraph& p : document_.paragraphs) {
            for (const Run& r : p.runs)
                note(r.format);
            note(p.markFormat);
        }
    }

    // A face name without the one character that would end it in the font table.
    static std::u16string FontName(const CharFormat& f) {
        std::u16string name = f.font;
        std::erase(name, u';');
        return name.empty() ? kDefaultFont : name;
    }

    int FontIndex(const CharFormat& f) const {
        return static_cast<int>(std::find(fonts_.begin(), fonts_.end(), FontName(f)) -
                                fonts_.begin());
    }

    int ColorIndex(std::uint32_t rgb) const {
        return 1 + static_cast<int>(std::find(colors_.begin(), colors_.end(), rgb & 0xFFFFFF) -
                                    colors_.begin());
    }

    // Switches to `f` unless it is in force already; every switch starts from \plain, so no
    // attribute of an earlier run is left behind.
    void SetFormat(const CharFormat& f) {
        if (current_ && *current_ == f)
            return;
        out_ += "\\plain\\f" + std::to_string(FontIndex(f));
        out_ += "\\fs" + std::to_string(std::clamp(f.halfPoints, 2, 3276));
        if (f.bold)
            out_ += "\\b";
        if (f.italic)
            out_ += "\\i";
        if (f.underline)
            out_ += "\\ul";
        if (f.color)
            out_ += "\\cf" + std::to_string(ColorIndex(*f.color));
        out_ += ' ';
        current_ = f;
    }

    void WriteParagraph(const Paragraph& p) {
        const ParaFormat& f = p.format;
        out_ += "\\pard";
        switch (f.align) {
            case Align::kLeft:
                break;
            case Align::kCenter:
                out_ += "\\qc";
                break;
            case Align::kRight:
                out_ += "\\qr";
                break;
            case Align::kJustify:
                out_ += "\\qj";
                break;
        }
        const int left = std::clamp(f.leftIndent, 0, kMaxIndent);
        if (f.bullet) {
            out_ += "\\fi-" + std::to_string(kBulletIndent);
            out_ += "\\li" + std::to_string(left + kBulletIndent);
        } else {
            if (f.firstIndent != 0)
                out_ += "\\fi" + std::to_string(std::clamp(f.firstIndent, -kMaxIndent, kMaxIndent));
            if (left != 0)
                out_ += "\\li" + std::to_string(left);
        }
        if (f.rightIndent != 0)
            out_ += "\\ri" + std::to_string(std::clamp(f.rightIndent, 0, kMaxIndent));
        if (f.bullet) {
            // The bullet as text for readers that do not know \pn, then the bullet itself.
            out_ +=
                "{\\pntext\\f0 "
                "\\u8226?\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\u8226?}}";
        }
        // A blank ends the last control word; after a group no delimiter is needed.
        if (out_.back() != '}')
            out_ += ' ';
        for (const Run& run : p.runs) {
            if (run.text.empty())
                continue;
            SetFormat(run.format);
            AppendText(out_, run.text);
        }
        SetFormat(p.markFormat);
        out_ += "\\par\r\n";
        // The blank paragraphs after it take its formats, which are still in force.
        for (int i = 0; i < p.followingBlanks; ++i)
            out_ += "\\par\r\n";
    }

    const Document& document_;
    std::string out_;
    std::vector<std::u16string> fonts_;
    std::vector<std::uint32_t> colors_;
    std::optional<CharFormat> current_;
};

}  // namespace

std::string WriteRtf(const Document& document) {
    return Writer(document).Write();
}

}  // namespace zorvel::rtf
