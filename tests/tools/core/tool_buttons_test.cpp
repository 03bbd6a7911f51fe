#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tools/core/ripple.h"
#include "tools/core/tool_buttons.h"
#include "tools/core/web_addresses.h"

namespace {

using namespace zorvel;
using namespace zorvel::tools;

TEST(ToolButtons, SeventeenInReadingOrderWithTheirActions) {
    const std::vector<std::string> captions = {
        "在线电影",   "生辰八字",   "万年历",   "天气预报", "历史上的今天", "十二时辰表",
        "天干地支表", "星座日期",   "新闻阅读", "股票外汇", "在线电视",     "网络测速",
        "IP归属地",   "手机归属地", "日期计算", "在线翻译", "网络校时"};
    const auto buttons = ToolButtons();
    ASSERT_EQ(buttons.size(), captions.size());
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].caption, captions[i]) << i;
        EXPECT_TRUE(names.insert(buttons[i].objectName).second) << buttons[i].objectName;
        const bool local = buttons[i].action == ToolAction::kDoubleHours ||
                           buttons[i].action == ToolAction::kNetworkTime;
        EXPECT_EQ(buttons[i].url.empty(), local) << buttons[i].caption;
        if (!local) {
            // Every address goes over https and uses only escapes every browser reads.
            EXPECT_TRUE(buttons[i].url.starts_with("https://")) << buttons[i].url;
            EXPECT_EQ(buttons[i].url.find(' '), std::string_view::npos) << buttons[i].url;
            EXPECT_EQ(buttons[i].url.find("%u"), std::string_view::npos) << buttons[i].url;
        }
    }
    EXPECT_EQ(buttons[0].action, ToolAction::kDefaultBrowser);
    EXPECT_EQ(buttons[5].action, ToolAction::kDoubleHours);
    EXPECT_EQ(buttons[16].action, ToolAction::kNetworkTime);
    for (std::size_t i : {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
        EXPECT_EQ(buttons[i].action, ToolAction::kBuiltInBrowser) << buttons[i].caption;
    EXPECT_TRUE(std::string_view(web::kProjectHomePage).starts_with("https://"));
    EXPECT_TRUE(std::string_view(web::kFeedbackPage).starts_with(web::kProjectHomePage));
}

// Numbers handed out in order, as a fake random source.
std::function<unsigned()> Sequence(std::vector<unsigned> values) {
    return [values, i = std::size_t(0)]() mutable { return values.at(i++); };
}

TEST(RippleDrops, OneTickInTenDropsASmallOneAtARandomPoint) {
    CRippleDrops drops(Sequence({3, 20, 7, 30, 1234, 567}));
    CRippleDrops::Drop drop{};
    EXPECT_FALSE(drops.OnTick(100, 50, drop));  // 3 % 10
    ASSERT_TRUE(drops.OnTick(100, 50, drop));   // 20 % 10, then x, y
    EXPECT_EQ(drop.x, 7);
    EXPECT_EQ(drop.y, 30);
    EXPECT_EQ(drop.radius, 5);
    EXPECT_EQ(drop.strength, 50);
    ASSERT_FALSE(drops.OnTick(100, 50, drop));  // 1234 % 10 = 4
    // An empty picture takes no drop and asks for no number.
    EXPECT_FALSE(drops.OnTick(0, 0, drop));

    const auto move = CRippleDrops::OnMouseMove(4, 9, false);
    EXPECT_EQ(move.radius, 5);
    EXPECT_EQ(move.strength, 50);
    const auto drag = CRippleDrops::OnMouseMove(4, 9, true);
    EXPECT_EQ(drag.radius, 50);
    EXPECT_EQ(drag.strength, 500);
    const auto click = CRippleDrops::OnMousePress(4, 9);
    EXPECT_EQ(click.radius, 50);
    EXPECT_EQ(click.strength, 500);
}

TEST(RippleField, ADropSpreadsOutwardFadesAndBendsThePicture) {
    CRippleField field(80, 60);
    EXPECT_TRUE(field.IsCalm());
    field.Drop(40, 30, 5, 500);
    EXPECT_LT(field.HeightAt(40, 30), 0);
    EXPECT_EQ(field.HeightAt(40, 40), 0);
    for (int i = 0; i < 12; ++i)
        field.Step();
    EXPECT_NE(field.HeightAt(40, 42), 0);  // the ring reached further out

    // A picture of vertical stripes looks different through the moving water.
    std::vector<std::uint32_t> picture(80 * 60), seen(80 * 60);
    for (int i = 0; i < 80 * 60; ++i)
        picture[i] = (i % 80) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    field.Render(picture.data(), 80, seen.data(), 80);
    EXPECT_NE(picture, seen);

    for (int i = 0; i < 3000 && !field.IsCalm(); ++i)
        field.Step();
    EXPECT_TRUE(field.IsCalm());
    field.Render(picture.data(), 80, seen.data(), 80);
    EXPECT_EQ(picture, seen);  // flat water shows the picture as it is

    // Drops past the edges, huge ones and tiny fields are harmless.
    field.Drop(-100, -100, 500, 500);
    field.Drop(79, 59, 50, 500);
    field.Step();
    CRippleField tiny(1, 1);
    tiny.Drop(0, 0, 5, 50);
    tiny.Step();
    std::uint32_t one = 0xFF123456u, out = 0;
    tiny.Render(&one, 1, &out, 1);
    EXPECT_EQ(out, one);
}

}  // namespace
