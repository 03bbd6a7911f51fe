// Time Protocol replies: whatever a server (or something else on port 37) sends, and the
// compiler date text the plausibility floor is read from.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "nettime/core/time_protocol.h"

using namespace zorvel;
using zorvel::fuzz::Check;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseChinaTime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint32_t elapsed = in.ConsumeIntegral<std::uint32_t>();
    const std::string date = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 12));
    const std::string reply = in.ConsumeRemainingBytesAsString();

    const auto value = nettime::DecodeReply(reply);
    Check(value.has_value() == (reply.size() == 4), "reply accepted at another length");
    if (value) {
        std::uint32_t expected = 0;
        for (unsigned char c : reply)
            expected = expected * 256 + c;
        Check(*value == expected, "reply not read big-endian");
        const std::int64_t unix = nettime::ToUnixTime(*value, elapsed);
        // Seconds since 1970 of 32-bit protocol time: 1970 to 2106.
        Check(unix >= 0 && unix <= 0xFFFFFFFFll, "time outside the protocol's era");
        Check((unix + 2208988800ll) % (1ll << 32) == (std::int64_t(*value) + elapsed) % (1ll << 32),
              "elapsed seconds not added");
        const std::string line = nettime::LocalTimeLine(unix);
        Check(line.size() == 21 && line[4] == '.' && line[7] == '.' && line.back() == ' ',
              "status line not in its form", line);
    }

    const std::int64_t floor = nettime::DateTextToUnixTime(date);
    if (floor != 0) {
        Check(date.size() == 11, "date text of another length read");
        Check(floor % 86400 == 0, "date floor not at midnight", date);
    }
    // The compiler's own date always reads, and lies in the protocol's era.
    const std::int64_t built = nettime::EarliestPlausibleTime();
    Check(built > 0 && built <= 0xFFFFFFFFll, "build date unreadable");
    return 0;
}
