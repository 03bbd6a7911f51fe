#pragma once

// What every document the RTF reader makes must hold, whatever it was given. Shared by the
// seeded mutation test and the libFuzzer target.

#include <string>

#include "richtext/core/rtf_document.h"

namespace zorvel::rtf {

// Empty when the document is sound, else what is wrong with it.
inline std::string Broken(const Document& d) {
    if (d.paragraphs.empty())
        return "no paragraph";
    for (const Paragraph& p : d.paragraphs) {
        const ParaFormat& f = p.format;
        if (f.leftIndent < 0 || f.leftIndent > kMaxIndent || f.rightIndent < 0 ||
            f.rightIndent > kMaxIndent || f.firstIndent < -f.leftIndent ||
            f.firstIndent > kMaxIndent || (f.bullet && f.firstIndent != 0))
            return "paragraph format out of range";
        if (p.followingBlanks < 0 || (p.followingBlanks > 0 && !p.runs.empty()))
            return "blank lines after a paragraph with text";
        for (size_t i = 0; i < p.runs.size(); ++i) {
            const Run& r = p.runs[i];
            if (r.text.empty())
                return "empty run";
            if (i > 0 && p.runs[i - 1].format == r.format)
                return "two runs of one format";
            if (r.format.halfPoints < 2 || r.format.halfPoints > 3276)
                return "size out of range";
            for (size_t k = 0; k < r.text.size(); ++k) {
                const char16_t c = r.text[k];
                if ((c < 0x20 && c != u'\t') || c == 0x7F || c == 0xFFFC || c == 0x2029)
                    return "control character in text";
                if (c >= 0xD800 && c <= 0xDBFF) {
                    if (k + 1 >= r.text.size() || r.text[k + 1] < 0xDC00 || r.text[k + 1] > 0xDFFF)
                        return "lone surrogate";
                    ++k;
                } else if (c >= 0xDC00 && c <= 0xDFFF) {
                    return "lone surrogate";
                }
            }
        }
    }
    return {};
}

}  // namespace zorvel::rtf
