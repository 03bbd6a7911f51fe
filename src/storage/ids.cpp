#include "storage/ids.h"

#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zorvel {

namespace {

bool SystemRandom(void* buffer, size_t size) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        ssize_t n = getrandom(p, size, 0);
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

uint64_t SplitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Without random bytes, a per-process sequence seeded from the time, the process id and
// a counter still gives every id its own value.
void FallbackBytes(unsigned char out[16]) {
    static std::atomic<uint64_t> counter{0};
    uint64_t state =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(getpid()) << 32) ^
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    uint64_t n = counter.fetch_add(1);
    uint64_t a = SplitMix64(state) ^ n;
    uint64_t b = SplitMix64(state) + n;
    std::memcpy(out, &a, 8);
    std::memcpy(out + 8, &b, 8);
}

}  // namespace

std::string FormatGuid(const unsigned char b[16]) {
    uint32_t data1 = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    unsigned data2 = b[4] | (b[5] << 8);
    unsigned data3 = b[6] | (b[7] << 8);
    char text[64];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1,
                  data2, data3, b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string NewIdText() {
    return NewIdText(SystemRandom);
}

std::string NewIdText(const RandomSource& source) {
    unsigned char bytes[16];
    if (!source || !source(bytes, sizeof bytes))
        FallbackBytes(bytes);
    // Version 4 (random) and the RFC 4122 variant, as a fresh GUID carries.
    bytes[7] = static_cast<unsigned char>((bytes[7] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    return FormatGuid(bytes);
}

}  // namespace zorvel
