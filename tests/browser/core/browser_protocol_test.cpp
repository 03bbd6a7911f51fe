#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/core/browser_protocol.h"

namespace {

using namespace zorvel::browser;
using Lines = std::vector<std::string>;

TEST(BrowserLines, CutAtNewlinesWhateverThePiecesAndDropEmptyAndOverlongOnes) {
    LineReader reader;
    EXPECT_EQ(reader.Feed("open 1 a"), Lines{});
    EXPECT_EQ(reader.Feed("\r\n\n\nwindows 1\nwin"), (Lines{"open 1 a", "windows 1"}));
    EXPECT_EQ(reader.Feed("dows\n"), Lines{"windows"});

    // A line over the limit goes whole, however it arrives, and the next one is read again.
    const std::string big(kMaxLineBytes, 'x');
    EXPECT_EQ(reader.Feed("start" + big.substr(0, 1000)), Lines{});
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(reader.Feed(big.substr(0, 1000)), Lines{});
    EXPECT_EQ(reader.Feed("tail\nopen 2 b\n"), Lines{"open 2 b"});
    EXPECT_EQ(reader.Feed(big + "y\nopen 3 c\n"), Lines{"open 3 c"});
    // Exactly at the limit is still a line.
    EXPECT_EQ(reader.Feed(big + "\n"), Lines{big});
}

TEST(BrowserLines, OpenRequestsGoThereAndBack) {
    const std::string address = "https://example.org/a?q=%E4%B8%87#x";
    EXPECT_EQ(OpenLine(7, address), "open 7 " + address + "\n");
    const auto request = ParseOpen("open 7 " + address);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->request, 7u);
    EXPECT_EQ(request->address, address);
    EXPECT_TRUE(ParseOpen("  open\t12   http://127.0.0.1/  "));

    // What cannot be sent is not, and what cannot be read is left alone.
    for (const char* bad : {"", "two words", "new\nline", "tab\there", "\xe4\xb8\x87"})
        EXPECT_EQ(OpenLine(1, bad), "") << bad;
    EXPECT_EQ(OpenLine(0, "http://a/"), "");
    EXPECT_EQ(OpenLine(1, std::string(kMaxLineBytes, 'a')), "");
    for (const char* bad :
         {"open", "open 1", "open 0 http://a/", "open -1 http://a/", "open +1 http://a/",
          "open 1x http://a/", "open 99999999999999999999 http://a/", "open 1 http://a/ more",
          "opened 1 http://a/", "OPEN 1 http://a/", "open 1 \xe4\xb8\x87"})
        EXPECT_FALSE(ParseOpen(bad)) << bad;
}

TEST(BrowserLines, TheBrowserSaysWhatItOpenedWhichWindowsAreOpenAndWhatWentWrong) {
    const auto opened = ParseBrowserMessage(OpenedLine(3, 9));
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->kind, BrowserMessage::Kind::kOpened);
    EXPECT_EQ(opened->request, 3u);
    EXPECT_EQ(opened->windows, std::vector<std::uint64_t>{9});

    for (const std::vector<std::uint64_t>& windows :
         {std::vector<std::uint64_t>{}, {1}, {2, 5, 18446744073709551615u}}) {
        const auto message = ParseBrowserMessage(WindowsLine(windows));
        ASSERT_TRUE(message);
        EXPECT_EQ(message->kind, BrowserMessage::Kind::kWindows);
        EXPECT_EQ(message->windows, windows);
    }

    const auto problem = ParseBrowserMessage(ProblemLine("找不到网页组件\n/usr/lib/x"));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, BrowserMessage::Kind::kProblem);
    EXPECT_EQ(problem->text, "找不到网页组件 /usr/lib/x");

    for (const char* bad : {"", "hello", "opened 1", "opened 1 2 3", "opened 0 1", "opened 1 0",
                            "windows 1 x", "windows 1 0", "windows -2", "problems 1"})
        EXPECT_FALSE(ParseBrowserMessage(bad)) << bad;
}

}  // namespace
