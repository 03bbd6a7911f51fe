#include "alarms/core/repeat_rule.h"

#include <cstdio>

namespace zorvel {

namespace {
constexpr const char* kWeekdayDigits[] = {"一", "二", "三", "四", "五", "六", "日"};

bool ReadNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 4)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}
}  // namespace

std::optional<RepeatRule> ParseRepeatRule(std::string_view text) {
    if (text == "once")
        return RepeatRule{RepeatKind::kOnce};
    if (text == "daily")
        return RepeatRule{RepeatKind::kDaily};
    if (text == "workdays")
        return RepeatRule{RepeatKind::kWorkdays};
    if (text == "holidays")
        return RepeatRule{RepeatKind::kHolidays};
    constexpr std::string_view kWeekly = "weekly:";
    if (text.substr(0, kWeekly.size()) != kWeekly)
        return std::nullopt;
    text.remove_prefix(kWeekly.size());
    RepeatRule rule{RepeatKind::kWeekly};
    while (true) {
        const size_t comma = text.find(',');
        int day = 0;
        if (!ReadNumber(text.substr(0, comma), day) || day < 1 || day > 7)
            return std::nullopt;
        rule.weekdays |= 1u << (day - 1);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return rule;
}

std::string RepeatRuleText(const RepeatRule& rule) {
    switch (rule.kind) {
        case RepeatKind::kOnce:
            return "once";
        case RepeatKind::kDaily:
            return "daily";
        case RepeatKind::kWorkdays:
            return "workdays";
        case RepeatKind::kHolidays:
            return "holidays";
        case RepeatKind::kWeekly:
            break;
    }
    std::string text = "weekly:";
    for (int day = 1; day <= 7; ++day) {
        if (rule.weekdays & (1u << (day - 1))) {
            if (text.back() != ':')
                text += ',';
            text += static_cast<char>('0' + day);
        }
    }
    return text;
}

int IsoWeekday(int year, int month, int day) {
    const int w = Weekday(year, month, day);  // 0 = Sunday
    return w == 0 ? 7 : w;
}

bool Includes(const RepeatRule& rule, const HolidaySchedule& schedule, int year, int month,
              int day) {
    switch (rule.kind) {
        case RepeatKind::kOnce:
        case RepeatKind::kDaily:
            return true;
        case RepeatKind::kWorkdays:
            return schedule.IsWorkday(year, month, day);
        case RepeatKind::kHolidays:
            return !schedule.IsWorkday(year, month, day);
        case RepeatKind::kWeekly:
            return (rule.weekdays & (1u << (IsoWeekday(year, month, day) - 1))) != 0;
    }
    return false;
}

RepeatRule RuleOf(const AlarmClockRecord& alarm) {
    if (!alarm.isEveryday || alarm.atSnooze)
        return RepeatRule{RepeatKind::kOnce};
    auto rule = ParseRepeatRule(alarm.rule);
    if (!rule || !rule->Repeats())
        return RepeatRule{RepeatKind::kDaily};
    return *rule;
}

std::string RepeatRuleName(const RepeatRule& rule) {
    switch (rule.kind) {
        case RepeatKind::kOnce:
            return "仅一次";
        case RepeatKind::kDaily:
            return "每天";
        case RepeatKind::kWorkdays:
            return "法定工作日";
        case RepeatKind::kHolidays:
            return "法定节假日";
        case RepeatKind::kWeekly:
            break;
    }
    // A run of three days or more reads "一至五"; single days and pairs are listed.
    std::string name = "每周";
    bool first = true;
    for (int day = 1; day <= 7;) {
        if (!(rule.weekdays & (1u << (day - 1)))) {
            ++day;
            continue;
        }
        int last = day;
        while (last < 7 && (rule.weekdays & (1u << last)))
            ++last;
        if (!first)
            name += "、";
        first = false;
        name += kWeekdayDigits[day - 1];
        if (last - day >= 2) {
            name += "至周";
            name += kWeekdayDigits[last - 1];
            day = last + 1;
        } else {
            ++day;
        }
    }
    return name;
}

std::optional<CivilDate> ReadDateText(std::string_view text) {
    int y = 0, m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ReadNumber(text.substr(0, 4), y) || !ReadNumber(text.substr(5, 2), m) ||
        !ReadNumber(text.substr(8, 2), d) || !IsValidDate(y, m, d))
        return std::nullopt;
    return CivilDate{y, m, d};
}

std::string DateText(const CivilDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace zorvel
