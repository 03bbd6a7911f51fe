#pragma once

#include <string>
#include <string_view>

#include "richtext/core/rtf_document.h"

namespace zorvel::rtf {

// Reads an RTF text into the editor's model: the fonts, sizes, colours, bold, italic,
// underline, alignment, indents and bullets it can show, and the text of everything else
// (fields, tables) as far as it has one; pictures, objects and other programs' extras are
// passed over. Text written as \'hh bytes is decoded in its font's code page, or the
// document's (\ansicpg936 and \fcharset134 memos of the Windows program read as Chinese).
// Bytes that are not RTF at all are taken as plain UTF-8 text. Any input is safe: the reader
// never fails, needs no recursion, and takes time and memory in proportion to the input.
Document ReadRtf(std::string_view bytes);

// Text as a document of default paragraphs, one per line.
Document PlainTextDocument(std::u16string_view text);

}  // namespace zorvel::rtf
