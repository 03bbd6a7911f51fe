#pragma once

#include <string>
#include <string_view>

namespace zorvel {

// Stored text is GB18030: the same bytes as code page 936 for every character that
// code page has, and every other character survives too. Windows work in UTF-16.
std::string ToStored(std::u16string_view wide);
std::u16string FromStored(std::string_view stored);

// UTF-8 <-> UTF-16, for paths and program texts.
std::string Utf16ToUtf8(std::u16string_view wide);
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace zorvel
