#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/civil_date.h"
#include "calendar/holiday_schedule.h"
#include "storage/records.h"

namespace zorvel {

// On which days an alarm rings. Stored as text: "once", "daily", "workdays" (official working
// days), "holidays" (the other days), "weekly:1,…,7" (ISO weekdays, Monday is 1).
enum class RepeatKind { kOnce, kDaily, kWorkdays, kHolidays, kWeekly };

struct RepeatRule {
    RepeatKind kind = RepeatKind::kOnce;
    unsigned weekdays = 0;  // weekly only: bit d-1 set for ISO weekday d

    bool operator==(const RepeatRule&) const = default;
    bool Repeats() const { return kind != RepeatKind::kOnce; }
};

constexpr unsigned kMondayToFriday = 0x1F;

// Nothing for an unknown text or a weekly rule without a day (or with a day outside 1–7).
std::optional<RepeatRule> ParseRepeatRule(std::string_view text);
std::string RepeatRuleText(const RepeatRule& rule);

// 1 = Monday … 7 = Sunday.
int IsoWeekday(int year, int month, int day);

// Whether the rule rings on this local date. A once rule includes every day: the alarm's own
// date decides.
bool Includes(const RepeatRule& rule, const HolidaySchedule& schedule, int year, int month,
              int day);

// The rule an alarm follows. Repeating alarms are stored every-day, so a release that knows
// nothing of rules still rings them; an alarm stored one-off is one-off whatever its rule row
// says (an older release changed it), and a missing or unreadable row means every day or once
// as the alarm says.
RepeatRule RuleOf(const AlarmClockRecord& alarm);

// The name the windows show: "仅一次", "每天", "法定工作日", "法定节假日", "每周一至周五",
// "每周一、三、五". UTF-8.
std::string RepeatRuleName(const RepeatRule& rule);

// "2026-10-10" and back. Nothing for a text that is not a real date.
std::optional<CivilDate> ReadDateText(std::string_view text);
std::string DateText(const CivilDate& date);

}  // namespace zorvel
