#pragma once

#include <cstddef>

#include "richtext/core/rtf_document.h"

// How much of a memo the editor takes on. Laying text out costs the editor time in proportion
// to it, and a paragraph is laid out whole at every key typed into it, so the editor edits
// memos up to these sizes and shows larger ones, cut where need be, for reading only.
namespace zorvel::rtf {

// Characters, counting each paragraph's end as one (as the list of memos and the stored plain
// text have a line end there).
constexpr size_t kMaxMemoChars = 1 << 20;
constexpr size_t kMaxParagraphChars = 1 << 15;
// A paragraph shown for reading only is laid out in pieces of at most this many characters.
constexpr size_t kShownPieceChars = 8192;

size_t TextLength(const Paragraph& paragraph);
size_t TextLength(const Document& document);

struct EditorFit {
    bool readOnly = false;  // shown for reading only, never to be saved from the editor
    bool cut = false;       // only the first kMaxMemoChars characters are shown
    bool longParagraph = false;
    bool blankRun = false;  // a long run of blank lines, kept as one paragraph
    size_t length = 0;      // of the whole memo
};

// Makes `document` what the editor shows: the memo itself when it can be edited; else, for
// reading only, its first kMaxMemoChars characters with long paragraphs in pieces.
EditorFit FitForEditor(Document& document);

}  // namespace zorvel::rtf
