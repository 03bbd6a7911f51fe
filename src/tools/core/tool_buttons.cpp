#include "tools/core/tool_buttons.h"

#include <array>

namespace zorvel::tools {

namespace {
using enum ToolAction;

// Public sites of each kind that answer over https and take a plain address (queries are
// UTF-8, percent-encoded, so every browser reads them the same way).
constexpr std::array kButtons{
    ToolButton{"在线电影", "filmButton", kDefaultBrowser, "https://v.qq.com/"},
    ToolButton{"生辰八字", "baziButton", kBuiltInBrowser,
               "https://www.baidu.com/s?wd=%E7%94%9F%E8%BE%B0%E5%85%AB%E5%AD%97%E6%9F%A5%E8%AF%A2"},
    ToolButton{"万年历", "perpetualCalendarButton", kBuiltInBrowser,
               "https://www.baidu.com/s?wd=%E4%B8%87%E5%B9%B4%E5%8E%86"},
    ToolButton{"天气预报", "weatherButton", kBuiltInBrowser, "https://weather.cma.cn/"},
    ToolButton{"历史上的今天", "historyTodayButton", kBuiltInBrowser, "https://www.lssdjt.com/"},
    ToolButton{"十二时辰表", "doubleHoursButton", kDoubleHours, ""},
    ToolButton{"天干地支表", "stemsBranchesButton", kBuiltInBrowser,
               "https://baike.baidu.com/item/%E5%A4%A9%E5%B9%B2%E5%9C%B0%E6%94%AF"},
    ToolButton{"星座日期", "starSignsButton", kBuiltInBrowser,
               "https://baike.baidu.com/item/%E5%8D%81%E4%BA%8C%E6%98%9F%E5%BA%A7"},
    ToolButton{"新闻阅读", "newsButton", kBuiltInBrowser, "https://news.sina.com.cn/"},
    ToolButton{"股票外汇", "quotesButton", kBuiltInBrowser, "https://quote.eastmoney.com/center/"},
    ToolButton{"在线电视", "tvButton", kBuiltInBrowser, "https://tv.cctv.com/live/"},
    ToolButton{"网络测速", "speedTestButton", kBuiltInBrowser, "https://www.speedtest.cn/"},
    ToolButton{"IP归属地", "ipLookupButton", kBuiltInBrowser, "https://www.ip138.com/"},
    ToolButton{"手机归属地", "phoneLookupButton", kBuiltInBrowser,
               "https://www.baidu.com/"
               "s?wd=%E6%89%8B%E6%9C%BA%E5%8F%B7%E7%A0%81%E5%BD%92%E5%B1%9E%E5%9C%B0"},
    ToolButton{"日期计算", "dateCalculatorButton", kBuiltInBrowser,
               "https://www.timeanddate.com/date/duration.html"},
    ToolButton{"在线翻译", "translateButton", kBuiltInBrowser, "https://fanyi.baidu.com/"},
    ToolButton{"网络校时", "networkTimeButton", kNetworkTime, ""},
};
}  // namespace

std::span<const ToolButton> ToolButtons() {
    return kButtons;
}

}  // namespace zorvel::tools
