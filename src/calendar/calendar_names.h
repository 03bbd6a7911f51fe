#pragma once

// The fixed Chinese texts shared by the calendar engines, in UTF-8, one character an entry.

#include <array>
#include <string_view>

namespace zorvel {

inline constexpr std::array<std::string_view, 10> kHeavenlyStems = {"甲", "乙", "丙", "丁", "戊",
                                                                    "己", "庚", "辛", "壬", "癸"};
inline constexpr std::array<std::string_view, 12> kEarthlyBranches = {
    "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
inline constexpr std::array<std::string_view, 12> kZodiacAnimals = {
    "鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
inline constexpr std::array<std::string_view, 10> kMonthNumerals = {"正", "二", "三", "四", "五",
                                                                    "六", "七", "八", "九", "十"};
inline constexpr std::array<std::string_view, 4> kDayTens = {"初", "十", "廿", "三"};
inline constexpr std::array<std::string_view, 10> kDayUnits = {"一", "二", "三", "四", "五",
                                                               "六", "七", "八", "九", "十"};

// Term n (1-24) is kSolarTermNames[n - 1]: term 2m - 1 is the first of Gregorian month m, 2m its
// second.
inline constexpr std::array<std::string_view, 24> kSolarTermNames = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

// Days before each Gregorian month in a common year.
inline constexpr std::array<int, 12> kCumulativeDays = {0,   31,  59,  90,  120, 151,
                                                        181, 212, 243, 273, 304, 334};

// Sunday first, as std::tm counts them.
inline constexpr std::array<std::string_view, 7> kWeekdayNames = {
    "星期天", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

}  // namespace zorvel
