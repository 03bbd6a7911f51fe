#include "storage/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace zorvel {

namespace {

const char* Utf16Name() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// Converts all of `in` from one encoding to another. Bytes that cannot be converted
// (only possible for malformed input) are replaced, never silently dropped with the rest.
std::string Convert(const char* to, const char* from, const char* in, size_t inLen,
                    const char* replacement) {
    iconv_t cd = iconv_open(to, from);
    // (iconv_t)-1 is iconv_open's documented failure value.
    if (cd == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr)
        throw std::runtime_error("iconv_open failed");
    std::string out;
    std::vector<char> buf(inLen * 4 + 16);
    char* src = const_cast<char*>(in);
    size_t left = inLen;
    while (left > 0) {
        char* dst = buf.data();
        size_t room = buf.size();
        size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf.data(), static_cast<size_t>(dst - buf.data()));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip one input unit and put a replacement in its place.
            size_t unit = std::string_view(from).starts_with("UTF-16") ? 2 : 1;
            unit = std::min(unit, left);
            src += unit;
            left -= unit;
            out.append(replacement);
        }
    }
    char* dst = buf.data();
    size_t room = buf.size();
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf.data(), static_cast<size_t>(dst - buf.data()));
    iconv_close(cd);
    return out;
}

std::u16string BytesToU16(const std::string& bytes) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        char16_t c;
        std::memcpy(&c, bytes.data() + 2 * i, 2);
        out[i] = c;
    }
    return out;
}

// U+FFFD in the host's UTF-16 byte order stands in for malformed input.
const char* ReplacementUtf16() {
    return std::endian::native == std::endian::little ? "\xFD\xFF" : "\xFF\xFD";
}

}  // namespace

std::string ToStored(std::u16string_view wide) {
    return Convert("GB18030", Utf16Name(), reinterpret_cast<const char*>(wide.data()),
                   wide.size() * 2, "?");
}

std::u16string FromStored(std::string_view stored) {
    return BytesToU16(
        Convert(Utf16Name(), "GB18030", stored.data(), stored.size(), ReplacementUtf16()));
}

std::string Utf16ToUtf8(std::u16string_view wide) {
    return Convert("UTF-8", Utf16Name(), reinterpret_cast<const char*>(wide.data()),
                   wide.size() * 2, "\xEF\xBF\xBD");
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    return BytesToU16(Convert(Utf16Name(), "UTF-8", utf8.data(), utf8.size(), ReplacementUtf16()));
}

}  // namespace zorvel
