#include "cli/core/script_input.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "cli/core/json_text.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"
#include "support/temp_db.h"

namespace {

using zorvel::CheckScriptAlarm;
using zorvel::ScriptAlarmRequest;

// 2026-12-10 12:00:00 local time.
std::time_t Noon() {
    return *zorvel::LocalMoment(2026, 12, 10, 12, 0, 0);
}

std::string Accepted(const ScriptAlarmRequest& request) {
    std::string why;
    auto alarm = CheckScriptAlarm(request, Noon(), &why);
    EXPECT_TRUE(alarm) << request.at << " " << request.repeat << ": " << why;
    return alarm ? zorvel::Utf16ToUtf8(alarm->alarmTime) : std::string();
}

std::string Refusal(const ScriptAlarmRequest& request) {
    std::string why;
    EXPECT_FALSE(CheckScriptAlarm(request, Noon(), &why)) << request.at << " " << request.text;
    return why;
}

TEST(ScriptInput, TimesAreReadInTheirUsualFormsAndATimeAloneMeansItsNextComing) {
    EXPECT_EQ(Accepted({"2026-12-10 13:05", "x"}), "2026-12-10 13:05:00");
    EXPECT_EQ(Accepted({" 2026-12-10T13:05:00 ", "x"}), "2026-12-10 13:05:00");
    EXPECT_EQ(Accepted({"13:05", "x"}), "2026-12-10 13:05:00");
    EXPECT_EQ(Accepted({"07:30", "x"}), "2026-12-11 07:30:00");
    EXPECT_EQ(Accepted({"12:00", "x"}), "2026-12-11 12:00:00");
    // A repeating alarm may carry a date in the past: only its hour and minute count.
    EXPECT_EQ(Accepted({"2020-01-01 07:30", "x", "daily"}), "2020-01-01 07:30:00");
}

TEST(ScriptInput, WhatCannotBeAnAlarmIsRefusedWithItsReason) {
    const struct {
        ScriptAlarmRequest request;
        const char* says;
    } cases[] = {
        {{"2026-02-30 07:00", "x"}, "无法识别的时间"},
        {{"2026-12-10 24:00", "x"}, "无法识别的时间"},
        {{"2026-12-10 07:30:15", "x"}, "无法识别的时间"},
        {{"2026-12-1007:30", "x"}, "无法识别的时间"},
        {{"tomorrow", "x"}, "无法识别的时间"},
        {{"", "x"}, "无法识别的时间"},
        {{"2026-12-10 11:59", "x"}, "已经过去"},
        {{"9999-12-10 11:59", "x"}, "超出了"},
        {{"2027-01-01 07:00", "x", "monthly"}, "无法识别的重复方式"},
        {{"2027-01-01 07:00", "x", "weekly:"}, "无法识别的重复方式"},
        {{"2027-01-01 07:00", "x", "weekly:0,8"}, "无法识别的重复方式"},
        {{"2027-01-01 07:00", "   "}, "不能为空"},
        {{"2027-01-01 07:00", std::string(451, 'x')}, "太长"},
        {{"2027-01-01 07:00",
          "a\x01"
          "b"},
         "控制字符"},
        {{"2027-01-01 07:00", "\xff\xfe"}, "UTF-8"},
        {{"2027-01-01 07:00", "x", "once", "program"}, "无法识别的铃声"},
        {{"2027-01-01 07:00", "x", "once", "/bin/sh"}, "无法识别的铃声"},
        {{"2027-01-01 07:00", "x", "once", "/nowhere/song.mp3"}, "找不到铃声文件"},
    };
    for (const auto& c : cases)
        EXPECT_NE(Refusal(c.request).find(c.says), std::string::npos)
            << c.request.at << " / " << c.request.repeat << " / " << c.request.ring;
}

TEST(ScriptInput, RingWordsAndSongFiles) {
    zorvel::test::TempDir dir;
    const std::string song = dir.File("我的歌.mp3");
    std::ofstream(song) << "ID3";
    std::string why;
    for (const char* word : {"song1", "song2", "shake", "silent"}) {
        auto alarm = CheckScriptAlarm({"2027-01-01 07:00", "x", "once", word}, Noon(), &why);
        ASSERT_TRUE(alarm) << word << ": " << why;
        EXPECT_EQ(zorvel::RingWord(alarm->ringType, zorvel::Utf16ToUtf8(alarm->ring)), word);
    }
    auto alarm = CheckScriptAlarm({"2027-01-01 07:00", "x", "weekly:1,3,5", song}, Noon(), &why);
    ASSERT_TRUE(alarm) << why;
    EXPECT_EQ(zorvel::Utf16ToUtf8(alarm->ring), song);
    EXPECT_EQ(zorvel::RingWord(alarm->ringType, song), song);
    EXPECT_EQ(zorvel::RepeatRuleText(alarm->rule), "weekly:1,3,5");
}

TEST(ScriptInput, JsonStringsEscapeWhatJsonMust) {
    EXPECT_EQ(zorvel::json::Quote("起床 \"早\"\\\n\t\x01"), "\"起床 \\\"早\\\"\\\\\\n\\t\\u0001\"");
    EXPECT_EQ(zorvel::json::Object().Text("a", "b").TextOrNull("n", "").Bool("t", true).Str(),
              "{\"a\": \"b\", \"n\": null, \"t\": true}");
    EXPECT_EQ(zorvel::json::Array({}), "[]");
}

}  // namespace
