// Stored text: any bytes a database file may hold, read as GB18030, and any UTF-16 a window
// may hand over, written as GB18030; the same for the UTF-8 <-> UTF-16 pair.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "storage/text_codec.h"

using namespace zorvel;
using zorvel::fuzz::Check;

namespace {

// What a lossless trip through a narrow encoding makes of UTF-16: lone surrogates cannot be
// written and become `stand_in`, everything else is kept.
std::u16string WithoutLoneSurrogates(std::u16string_view s, char16_t standIn) {
    std::u16string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool high = s[i] >= 0xD800 && s[i] <= 0xDBFF;
        const bool low = s[i] >= 0xDC00 && s[i] <= 0xDFFF;
        if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            out += s[i];
            out += s[++i];
        } else {
            out += high || low ? standIn : s[i];
        }
    }
    return out;
}

// The private-use characters that GB18030 gave up when their characters entered Unicode:
// the converter has no bytes for them, so they are stored as '?' like a lone surrogate.
bool HasNoStoredForm(char16_t c) {
    static constexpr char16_t kGivenUp[] = {0xE78D, 0xE78E, 0xE78F, 0xE790, 0xE791, 0xE792,
                                            0xE793, 0xE794, 0xE795, 0xE796, 0xE816, 0xE817,
                                            0xE818, 0xE81E, 0xE826, 0xE82B, 0xE82C, 0xE831,
                                            0xE832, 0xE83B, 0xE843, 0xE854, 0xE855, 0xE864};
    for (char16_t g : kGivenUp)
        if (c == g)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Reading: always well-formed UTF-16, and reading is settled after one trip: writing what
    // was read and reading it again changes nothing.
    const std::u16string read = FromStored(bytes);
    Check(!fuzz::HasLoneSurrogate(read), "FromStored made a lone surrogate");
    Check(read.size() <= bytes.size(), "FromStored made more characters than bytes");
    const std::string rewritten = ToStored(read);
    Check(FromStored(rewritten) == read, "stored text changed by a second trip");
    // Text without malformed bytes is written back byte for byte.
    if (read.find(u'\uFFFD') == std::u16string::npos)
        Check(rewritten == bytes, "well-formed stored text not written back as it was");

    // Writing: the same bytes as UTF-16 come back unchanged, bar lone surrogates.
    const std::u16string wide = fuzz::Utf16(bytes);
    std::u16string storable = WithoutLoneSurrogates(wide, u'?');
    for (char16_t& c : storable)
        if (HasNoStoredForm(c))
            c = u'?';
    Check(FromStored(ToStored(wide)) == storable, "UTF-16 changed by storing");

    // UTF-8 <-> UTF-16, for paths and program texts.
    const std::u16string fromUtf8 = Utf8ToUtf16(bytes);
    Check(!fuzz::HasLoneSurrogate(fromUtf8), "Utf8ToUtf16 made a lone surrogate");
    if (fuzz::IsUtf8(bytes))
        Check(Utf16ToUtf8(fromUtf8) == bytes, "UTF-8 changed by a trip through UTF-16");
    const std::string utf8 = Utf16ToUtf8(wide);
    Check(fuzz::IsUtf8(utf8), "Utf16ToUtf8 made malformed UTF-8");
    Check(Utf8ToUtf16(utf8) == WithoutLoneSurrogates(wide, u'\uFFFD'),
          "UTF-16 changed by a trip through UTF-8");
    return 0;
}
