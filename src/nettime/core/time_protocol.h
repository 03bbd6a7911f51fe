#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// The Time Protocol (RFC 868): a server on TCP port 37 sends the seconds since
// 1900-01-01 00:00:00 UTC as four big-endian bytes and closes the connection.
namespace zorvel::nettime {

constexpr std::uint16_t kTimePort = 37;
// 1900-01-01 to 1970-01-01: 25567 days.
constexpr std::uint32_t kSecondsFrom1900To1970 = 2208988800u;

// The value of a complete reply: exactly four bytes. Anything else (nothing, too few, a
// banner of another service) is no time.
std::optional<std::uint32_t> DecodeReply(std::string_view reply);

// Seconds since 1970 UTC for `value` plus `elapsed` seconds. The sum wraps in 32 bits, so
// the protocol's wrap in 2036 still gives the right time (up to 2106).
std::int64_t ToUnixTime(std::uint32_t value, std::uint32_t elapsed);

// The status line for a time: its local time as "%Y.%m.%d  %H:%M:%S ".
std::string LocalTimeLine(std::time_t t);

// Midnight UTC of the day this file was compiled. No right answer can be earlier, while a
// wrong year from a misbehaving server would make every one-off alarm look long past.
std::int64_t EarliestPlausibleTime();
// The same from a compiler date text such as "Sep 18 2011"; 0 when it cannot be read.
std::int64_t DateTextToUnixTime(std::string_view compilerDate);

}  // namespace zorvel::nettime
