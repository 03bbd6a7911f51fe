#include "widgets/core/memo_limits.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zorvel::rtf {

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Keeps the first `chars` characters of a paragraph's text.
void CutParagraph(Paragraph& p, size_t chars) {
    size_t kept = 0;
    auto run = p.runs.begin();
    for (; run != p.runs.end(); ++run) {
        if (kept + run->text.size() <= chars) {
            kept += run->text.size();
            continue;
        }
        size_t take = chars - kept;
        // Not between the two halves of a surrogate pair.
        if (take > 0 && IsHighSurrogate(run->text[take - 1]))
            --take;
        run->text.resize(take);
        if (!run->text.empty())
            ++run;
        break;
    }
    p.runs.erase(run, p.runs.end());
}

// The paragraph's text in pieces of at most kShownPieceChars characters, each a paragraph of
// the same formats.
std::vector<Paragraph> Pieces(Paragraph&& p) {
    std::vector<Paragraph> pieces;
    Paragraph piece{p.format, {}, p.markFormat, 0};
    size_t size = 0;
    for (Run& run : p.runs) {
        std::u16string_view text = run.text;
        while (!text.empty()) {
            size_t take = std::min(text.size(), kShownPieceChars - size);
            if (take < text.size() && IsHighSurrogate(text[take - 1]))
                --take;
            if (take == 0) {
                pieces.push_back(std::exchange(piece, Paragraph{p.format, {}, p.markFormat, 0}));
                size = 0;
                continue;
            }
            piece.runs.push_back({std::u16string(text.substr(0, take)), run.format});
            size += take;
            text.remove_prefix(take);
            if (size == kShownPieceChars && !text.empty()) {
                pieces.push_back(std::exchange(piece, Paragraph{p.format, {}, p.markFormat, 0}));
                size = 0;
            }
        }
    }
    piece.followingBlanks = p.followingBlanks;
    pieces.push_back(std::move(piece));
    return pieces;
}

}  // namespace

size_t TextLength(const Paragraph& paragraph) {
    size_t length = 0;
    for (const Run& run : paragraph.runs)
        length += run.text.size();
    return length;
}

size_t TextLength(const Document& document) {
    size_t length = 0;
    for (const Paragraph& p : document.paragraphs)
        length += TextLength(p) + 1 + static_cast<size_t>(std::max(0, p.followingBlanks));
    return length > 0 ? length - 1 : 0;  // no line end after the last paragraph
}

EditorFit FitForEditor(Document& document) {
    EditorFit fit;
    auto& paragraphs = document.paragraphs;
    for (const Paragraph& p : paragraphs) {
        fit.length += TextLength(p) + 1 + static_cast<size_t>(std::max(0, p.followingBlanks));
        fit.longParagraph = fit.longParagraph || TextLength(p) > kMaxParagraphChars;
        fit.blankRun = fit.blankRun || p.followingBlanks > 0;
    }
    fit.length = fit.length > 0 ? fit.length - 1 : 0;
    fit.cut = fit.length > kMaxMemoChars;
    fit.readOnly = fit.cut || fit.longParagraph || fit.blankRun;
    if (!fit.readOnly)
        return fit;

    if (fit.cut) {
        size_t left = kMaxMemoChars;
        size_t kept = 0;
        for (; kept < paragraphs.size() && left > 0; ++kept) {
            Paragraph& p = paragraphs[kept];
            const size_t text = TextLength(p);
            if (text >= left) {
                CutParagraph(p, left);
                p.followingBlanks = 0;
                left = 0;
            } else {
                left -= text;
                // As many of its blank lines as still fit, each with its line end, and the
                // line end before the next paragraph.
                const size_t blanks = std::min(static_cast<size_t>(p.followingBlanks), left);
                p.followingBlanks = static_cast<int>(blanks);
                left -= std::min(left, blanks + 1);
            }
        }
        paragraphs.resize(std::max<size_t>(kept, 1));
    }
    if (fit.longParagraph) {
        std::vector<Paragraph> shown;
        for (Paragraph& p : paragraphs) {
            if (TextLength(p) > kShownPieceChars) {
                for (Paragraph& piece : Pieces(std::move(p)))
                    shown.push_back(std::move(piece));
            } else {
                shown.push_back(std::move(p));
            }
        }
        paragraphs = std::move(shown);
    }
    return fit;
}

}  // namespace zorvel::rtf
