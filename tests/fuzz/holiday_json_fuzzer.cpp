// Holiday schedules as they come from the network or a user's file: any text, checked for one
// year. What is accepted must hold every rule, and read back the same when written out again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "calendar/civil_date.h"
#include "calendar/holiday_files.h"
#include "fuzz/fuzz_support.h"

using namespace zorvel;
using zorvel::fuzz::Check;

namespace {

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

std::string Pad(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(width - s.size(), '0') + s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int year = in.ConsumeIntegralInRange<int>(1999, 2031);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const HolidayYearData result = ParseHolidayYear(text, year);
    if (!result.ok()) {
        Check(result.days.empty(), "days kept from a refused text");
        Check(fuzz::IsUtf8(result.error), "reason is not UTF-8", result.error);
        return 0;
    }
    Check(text.size() <= kHolidayFileMaxBytes, "oversized text accepted");
    Check(result.days.size() <= kHolidayFileMaxDays, "too many days accepted");
    std::set<long> seen;
    std::string again = "{\"year\":" + std::to_string(year) + ",\"days\":[";
    for (const OfficialDay& d : result.days) {
        Check(IsValidDate(d.year, d.month, d.day), "impossible date accepted");
        Check(d.year == year || (d.year == year - 1 && d.month == 12), "date outside the year");
        Check(seen.insert(DaysFromCivil(d.year, d.month, d.day)).second, "date accepted twice");
        Check(!d.name.empty() && fuzz::IsUtf8(d.name), "name empty or not UTF-8", d.name);
        if (&d != &result.days.front())
            again += ',';
        again += "{\"name\":\"" + Escaped(d.name) + "\",\"date\":\"" + Pad(d.year, 4) + "-" +
                 Pad(d.month, 2) + "-" + Pad(d.day, 2) +
                 "\",\"isOffDay\":" + (d.isOffDay ? "true" : "false") + "}";
    }
    again += "]}";
    // Names may hold control characters only as escapes, which Escaped() does not write.
    bool plain = true;
    for (const OfficialDay& d : result.days)
        for (char c : d.name)
            plain = plain && static_cast<unsigned char>(c) >= 0x20;
    if (plain && again.size() <= kHolidayFileMaxBytes) {
        const HolidayYearData back = ParseHolidayYear(again, year);
        Check(back.ok(), "written-out days refused", back.error);
        Check(back.days.size() == result.days.size(), "written-out days differ");
        for (std::size_t i = 0; i < back.days.size(); ++i)
            Check(back.days[i].name == result.days[i].name &&
                      back.days[i].isOffDay == result.days[i].isOffDay &&
                      back.days[i].day == result.days[i].day,
                  "written-out day differs");
    }
    return 0;
}
