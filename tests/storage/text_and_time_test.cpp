#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/clock.h"
#include "platform/core/program_dir.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace {

using namespace zorvel;

TEST(TextCodecTest, StoredBytesMatchCodePage936AndRoundTrip) {
    EXPECT_EQ(ToStored(u"中文abc"),
              "\xD6\xD0\xCE\xC4"
              "abc");
    EXPECT_EQ(ToStored(u"闹钟程序已在运行中!"),
              "\xC4\xD6\xD6\xD3\xB3\xCC\xD0\xF2\xD2\xD1\xD4\xDA"
              "\xD4\xCB\xD0\xD0\xD6\xD0!");
    for (std::u16string s : {u"", u"ascii", u"€ 𠀀 😀 ㊣ 〇", u"\u00e9\u00df"})
        EXPECT_EQ(FromStored(ToStored(s)), s);
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(u"路径/音乐😀.mp3")), u"路径/音乐😀.mp3");
}

TEST(TextCodecTest, MalformedInputIsReplacedNotDropped) {
    std::u16string read = FromStored(std::string("ab\x81", 3));  // lead byte with no trail
    EXPECT_EQ(read.substr(0, 2), u"ab");
    EXPECT_EQ(read.size(), 3u);
    std::u16string lone = u"x";
    lone += static_cast<char16_t>(0xD800);  // a lone surrogate
    lone += u"y";
    EXPECT_EQ(ToStored(lone), "x?y");
}

TEST(TimeTextTest, FormatsAndReadsLocalTime) {
    std::time_t t = std::chrono::system_clock::to_time_t(MakeLocalTime(2011, 9, 18, 8, 5, 3));
    EXPECT_EQ(FormatTimeText(t), "2011-09-18 08:05:03");
    EXPECT_EQ(ParseTimeText("2011-09-18 08:05:03"), t);
    EXPECT_EQ(ParseTimeText(" 2011-09-18 08:05:03 "), t);
    EXPECT_EQ(ParseTimeText("2011-9-18 8:5:3"), t);
    for (const char* bad : {"", "abc", "2011-09-18", "2011-02-29 00:00:00", "2011-13-01 00:00:00",
                            "2011-09-18 24:00:00", "2011-09-18 08:60:00", "2011-09-18 08:05:03x",
                            "20110-09-18 08:05:03"})
        EXPECT_FALSE(ParseTimeText(bad).has_value()) << bad;
    EXPECT_TRUE(ParseTimeText("2012-02-29 23:59:59").has_value());
}

TEST(TimeTextTest, StampsAcrossMidnight) {
    TimePoint t = MakeLocalTime(2026, 12, 9, 23, 59, 59);
    EXPECT_EQ(FormatTimeText(t), "2026-12-09 23:59:59");
    EXPECT_EQ(FormatTimeText(t + std::chrono::seconds(1)), "2026-12-10 00:00:00");
}

TEST(ProgramDirTest, UserDataDirFollowsXdg) {
    const char* old = getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
    EXPECT_EQ(UserDataDir(), "/tmp/xdg-data/zorvel/");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);  // XDG says relative values are ignored
    setenv("HOME", getenv("HOME") ? getenv("HOME") : "/root", 1);
    EXPECT_EQ(UserDataDir(), std::string(getenv("HOME")) + "/.local/share/zorvel/");
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

}  // namespace
