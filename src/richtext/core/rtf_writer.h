#pragma once

#include <string>

#include "richtext/core/rtf_document.h"

namespace zorvel::rtf {

// The memo as RTF: plain ASCII, every other character as \uN with '?' for readers without
// Unicode, and \ansicpg936 in the header for readers that go by the code page. Bullets are
// written the way RichEdit writes them, so older programs show them too.
std::string WriteRtf(const Document& document);

}  // namespace zorvel::rtf
