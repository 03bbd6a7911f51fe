#include "nettime/core/time_protocol.h"

#include <array>
#include <cstdio>

namespace zorvel::nettime {

std::optional<std::uint32_t> DecodeReply(std::string_view reply) {
    if (reply.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : reply)
        value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

std::int64_t ToUnixTime(std::uint32_t value, std::uint32_t elapsed) {
    const std::uint32_t seconds = value + elapsed - kSecondsFrom1900To1970;
    return static_cast<std::int64_t>(seconds);
}

std::string LocalTimeLine(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    std::array<char, 64> text{};
    std::strftime(text.data(), text.size(), "%Y.%m.%d  %H:%M:%S ", &local);
    return text.data();
}

namespace {
// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
}  // namespace

std::int64_t DateTextToUnixTime(std::string_view compilerDate) {
    static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (compilerDate.size() != 11)
        return 0;
    const std::size_t at = kMonths.find(compilerDate.substr(0, 3));
    if (at == std::string_view::npos || at % 3 != 0)
        return 0;
    unsigned day = 0;
    int year = 0;
    if (std::sscanf(std::string(compilerDate.substr(4)).c_str(), "%u %d", &day, &year) != 2 ||
        day < 1 || day > 31)
        return 0;
    return DaysFromCivil(year, static_cast<unsigned>(at / 3 + 1), day) * 86400;
}

std::int64_t EarliestPlausibleTime() {
    return DateTextToUnixTime(__DATE__);
}

}  // namespace zorvel::nettime
