#include "nettime/core/time_protocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace zorvel::nettime;

TEST(TimeProtocolTest, OnlyExactlyFourBytesAreATime) {
    const std::string reply("\xD2\x1D\x27\x43", 4);
    ASSERT_EQ(DecodeReply(reply), 3525125955u);
    EXPECT_EQ(ToUnixTime(3525125955u, 0), 1316137155);  // 2011-09-16 01:39:15 UTC
    EXPECT_EQ(DecodeReply(std::string(4, '\0')), 0u);
    EXPECT_EQ(DecodeReply(std::string("\xFF\xFF\xFF\xFF", 4)), 0xFFFFFFFFu);
    EXPECT_FALSE(DecodeReply(""));
    EXPECT_FALSE(DecodeReply(reply.substr(0, 3)));         // short: no low-order zeros made up
    EXPECT_FALSE(DecodeReply(reply + "\r\n"));             // more than the protocol's four
    EXPECT_FALSE(DecodeReply("SSH-2.0-OpenSSH_9.2\r\n"));  // another service's banner
}

TEST(TimeProtocolTest, ElapsedSecondsAddAcrossThe2036Wrap) {
    EXPECT_EQ(ToUnixTime(3525125955u, 3), 1316137158);
    // The last second of era 0 and the first of era 1 (2036-02-07 06:28:16 UTC).
    EXPECT_EQ(ToUnixTime(0xFFFFFFFFu, 0), 2085978495);
    EXPECT_EQ(ToUnixTime(0xFFFFFFFFu, 1), 2085978496);
    EXPECT_EQ(ToUnixTime(0u, 0), 2085978496);
    EXPECT_EQ(ToUnixTime(1000u, 5), 2085978496 + 1005);
}

TEST(TimeProtocolTest, LocalTimeLineHasItsBlanks) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    EXPECT_EQ(LocalTimeLine(1316137155), "2011.09.16  09:39:15 ");
    old ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
}

TEST(TimeProtocolTest, BuildDateBoundsPlausibleTimes) {
    EXPECT_EQ(DateTextToUnixTime("Sep 16 2011"), 1316131200);
    EXPECT_EQ(DateTextToUnixTime("Jan  1 1970"), 0);
    EXPECT_EQ(DateTextToUnixTime("Feb 29 2024"), 1709164800);
    EXPECT_EQ(DateTextToUnixTime("Foo  1 2024"), 0);
    EXPECT_EQ(DateTextToUnixTime("Sep 16"), 0);
    // This build is after 2024 and a 2011 reply is refused.
    EXPECT_GT(EarliestPlausibleTime(), DateTextToUnixTime("Jan  1 2024"));
    EXPECT_LT(ToUnixTime(3525125955u, 0), EarliestPlausibleTime());
}

}  // namespace
