#include "calendar/holiday_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "calendar/holiday_tables.h"
#include "support/temp_db.h"

using zorvel::DayStatus;
using zorvel::DayStatusText;
using zorvel::HolidayUpdateUrl;
using zorvel::OfficialDay;
using zorvel::ParseHolidayYear;
using zorvel::ReadHolidayFolder;
using zorvel::ScheduleWithYears;

namespace {

std::string Entry(const std::string& date, bool off = true, const std::string& name = "元旦") {
    return R"({"name":")" + name + R"(","date":")" + date + R"(","isOffDay":)" +
           (off ? "true" : "false") + "}";
}

std::string Year(int year, const std::string& days) {
    return R"({"$schema":"https://example.org/schema.json","year":)" + std::to_string(year) +
           R"(,"papers":["http://www.gov.cn/x"],"days":[)" + days + "]}";
}

std::string ManyEntries(int count) {
    std::string days;
    for (int i = 0; i < count; ++i) {
        const int month = 1 + i / 28;
        const int day = 1 + i % 28;
        days += (i ? "," : "") +
                Entry("2027-" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "-" +
                      (day < 10 ? "0" : "") + std::to_string(day));
    }
    return Year(2027, days);
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

// What a fetched answer or a file by hand may hold: the checks refuse every hostile or broken
// text with a reason, and keep a valid one whole.
TEST(HolidayFiles, ParseChecksEveryRule) {
    const std::string good = Year(2027, Entry("2026-12-31") + "," + Entry("2027-01-01") + "," +
                                            Entry("2027-02-06", false, "\\u6625\\u8282") + ",\n " +
                                            Entry("2027-02-07", true, "春节"));
    struct Case {
        const char* what;
        std::string json;
        const char* error;  // part of the reason; nullptr: valid
    };
    const Case cases[] = {
        {"valid, extra keys, December before, escapes", good, nullptr},
        {"no days at all", Year(2027, ""), nullptr},
        {"60 entries", ManyEntries(60), nullptr},
        {"truncated", good.substr(0, good.size() / 2), "JSON"},
        {"empty", "", "JSON"},
        {"trailing garbage", good + "x", "JSON"},
        {"not an object", "[1,2]", "JSON"},
        {"too deep", std::string(200, '[') + std::string(200, ']'), "JSON"},
        {"bad escape", Year(2027, Entry("2027-01-01", true, "\\q")), "JSON"},
        {"lone surrogate", Year(2027, Entry("2027-01-01", true, "\\ud800")), "JSON"},
        {"control character", Year(2027, Entry("2027-01-01", true, "a\tb")), "JSON"},
        {"invalid UTF-8", Year(2027, Entry("2027-01-01", true, "\xC3\x28")), "UTF-8"},
        {"wrong year", Year(2026, Entry("2026-01-01")), "年份不是 2027"},
        {"year as text", R"({"year":"2027","days":[]})", "年份"},
        {"year written 2027.0", R"({"year":2027.0,"days":[]})", "年份"},
        {"no days key", R"({"year":2027})", "days"},
        {"date next year", Year(2027, Entry("2028-01-01")), "不在 2027 年内"},
        {"date in November before", Year(2027, Entry("2026-11-30")), "不在 2027 年内"},
        {"date two years back", Year(2027, Entry("2025-12-31")), "不在 2027 年内"},
        {"impossible date", Year(2027, Entry("2027-02-29")), "YYYY-MM-DD"},
        {"date badly written", Year(2027, Entry("2027-1-01")), "YYYY-MM-DD"},
        {"duplicate", Year(2027, Entry("2027-01-01") + "," + Entry("2027-01-01", false)), "两次"},
        {"empty name", Year(2027, Entry("2027-01-01", true, "")), "没有名称"},
        {"blank name", Year(2027, Entry("2027-01-01", true, "  ")), "没有名称"},
        {"huge name", Year(2027, Entry("2027-01-01", true, std::string(400, 'x'))), "太长"},
        {"isOffDay as text",
         R"({"year":2027,"days":[{"name":"元旦","date":"2027-01-01",)"
         R"("isOffDay":"true"}]})",
         "isOffDay"},
        {"entry not an object", Year(2027, "1"), "不是对象"},
        {"61 entries", ManyEntries(61), "超过 60"},
        {"ten megabytes", Year(2027, Entry("2027-01-01")) + std::string(10 << 20, ' '), "太大"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = ParseHolidayYear(c.json, 2027);
        if (!c.error) {
            EXPECT_TRUE(result.ok()) << result.error;
            continue;
        }
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.days.empty());
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
    }
    const auto kept = ParseHolidayYear(good, 2027);
    ASSERT_EQ(kept.days.size(), 4u);
    EXPECT_EQ(kept.days[0].year, 2026);
    EXPECT_EQ(kept.days[0].month, 12);
    EXPECT_EQ(kept.days[2].name, "春节");
    EXPECT_FALSE(kept.days[2].isOffDay);
}

// A year from a file replaces the whole shipped year, its December-before days included, and
// leaves the other years as they were.
TEST(HolidayFiles, FileYearReplacesTheShippedYear) {
    const auto before = zorvel::ShippedHolidaySchedule();
    ASSERT_TRUE(before->StatusOf(2018, 12, 29).workday);   // Saturday, worked for 元旦 2019
    ASSERT_FALSE(before->StatusOf(2018, 12, 31).workday);  // Monday off
    ASSERT_FALSE(before->HasYear(2030));
    const auto schedule = ScheduleWithYears(
        {{2019, {OfficialDay{2019, 5, 6, true, "测试"}}}, {2030, {{2030, 1, 1, true, "元旦"}}}});
    EXPECT_FALSE(schedule->StatusOf(2018, 12, 29).workday);
    EXPECT_TRUE(schedule->StatusOf(2018, 12, 31).workday);
    EXPECT_TRUE(schedule->StatusOf(2019, 1, 1).workday);  // the file does not list it
    EXPECT_EQ(schedule->StatusOf(2019, 5, 6).holiday, "测试");
    EXPECT_FALSE(schedule->StatusOf(2018, 10, 1).workday);  // 2018 untouched
    EXPECT_EQ(schedule->StatusOf(2020, 1, 1).holiday, "元旦");
    EXPECT_TRUE(schedule->HasYear(2030));
    EXPECT_EQ(schedule->StatusOf(2030, 1, 1).holiday, "元旦");
}

TEST(HolidayFiles, FolderKeepsValidFilesAndNamesTheOthers) {
    zorvel::test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    Write(folder + "2027.json", Year(2027, Entry("2027-01-01")));
    Write(folder + "2028.json", Year(2027, Entry("2027-01-01")));  // another year's content
    Write(folder + "2029.json", Year(2029, Entry("2029-01-01")) + std::string(70000, ' '));
    Write(folder + "2030.json.tmp", "garbage");
    Write(folder + "notes.txt", "garbage");
    const auto read = ReadHolidayFolder(folder);
    ASSERT_EQ(read.years.size(), 1u);
    EXPECT_EQ(read.years.count(2027), 1u);
    ASSERT_EQ(read.problems.size(), 2u);
    EXPECT_NE(read.problems[0].find("2028.json: 年份不是 2028"), std::string::npos);
    EXPECT_NE(read.problems[1].find("2029.json: 文件太大"), std::string::npos);
    EXPECT_TRUE(ReadHolidayFolder(folder + "missing/").years.empty());
}

TEST(HolidayFiles, StatusLineAndUpdateAddress) {
    EXPECT_EQ(DayStatusText({false, true, true, "国庆节"}), "今天：国庆节 休");
    EXPECT_EQ(DayStatusText({true, true, true, ""}), "今天：调休上班");
    EXPECT_EQ(DayStatusText({true, false, true, ""}), "今天：工作日");
    EXPECT_EQ(DayStatusText({false, false, false, ""}), "今天：休息日");

    unsetenv("ZORVEL_HOLIDAY_URL");
    EXPECT_EQ(HolidayUpdateUrl(2027),
              "https://cdn.jsdelivr.net/gh/NateScarlet/holiday-cn@master/2027.json");
    setenv("ZORVEL_HOLIDAY_URL", "http://127.0.0.1:9/{year}/{year}.json", 1);
    EXPECT_EQ(HolidayUpdateUrl(2027), "http://127.0.0.1:9/2027/2027.json");
    unsetenv("ZORVEL_HOLIDAY_URL");
}
