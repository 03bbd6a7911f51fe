#pragma once

// Shared by the fuzz targets: what a broken invariant does, and small checks on results.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace zorvel::fuzz {

// A broken invariant is a crash to libFuzzer, which then keeps the input.
[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s %.*s\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void Check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok)
        Fail(what, detail);
}

// Local-time texts are read in China Standard Time, as on the user's machine; the zone's
// daylight saving years (1986-1991) put gaps and repeated hours in reach of the fuzzer.
inline void UseChinaTime() {
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
}

// Whether the zone's offset changes within two hours of `t`: wall-clock arithmetic may then be
// off by the change.
inline bool NearOffsetChange(std::time_t t) {
    std::tm before{}, after{};
    std::time_t a = t - 7200, b = t + 7200;
    localtime_r(&a, &before);
    localtime_r(&b, &after);
    return before.tm_gmtoff != after.tm_gmtoff;
}

inline bool IsUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int n = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
        if (n < 0 || i + n >= s.size())
            return false;
        char32_t cp = n == 0 ? b : b & (0x3F >> n);
        for (int k = 1; k <= n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// Bytes taken two at a time as UTF-16 in the host's order (an odd last byte is dropped).
inline std::u16string Utf16(std::string_view bytes) {
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

// No high surrogate without its low one and no low one on its own.
inline bool HasLoneSurrogate(std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)
                return true;
            ++i;
        } else if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace zorvel::fuzz
