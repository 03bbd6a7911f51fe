#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "calendar/civil_date.h"
#include "storage/records.h"

namespace zorvel {

// Reads a stored alarm time ("%Y-%m-%d %H:%M:%S", local time). Nothing for a text that
// cannot be read; such an alarm never rings and is shown as expired.
std::optional<std::time_t> ReadAlarmTime(const std::string& storedText);

// The start (second 0, local time) of the latest minute at or before `now` in which the alarm
// falls: the stored minute for a one-off alarm (which may lie in the future), today's or
// yesterday's hour and minute for an every-day alarm.
std::optional<std::time_t> AlarmMinuteAtOrBefore(const AlarmClockRecord& alarm, std::time_t now);

// The start of the first minute after `after` in which the alarm falls: nothing for a one-off
// alarm whose minute is not later, or for a time that cannot be read. The wake-up and the
// list's "next ring" both ask this, so every repeat rule must answer it.
std::optional<std::time_t> AlarmMinuteAfter(const AlarmClockRecord& alarm, std::time_t after);

// A one-off alarm whose moment is not later than now, or any alarm whose time cannot be read.
bool IsExpiredAlarm(const AlarmClockRecord& alarm, std::time_t now);

// The list text of an alarm's time: the rule's name with hour and minute for a repeating
// alarm ("每天 8:5" without leading zeros, "法定工作日 7:05"), the stored text otherwise.
// UTF-8.
std::string AlarmTimeListText(const AlarmClockRecord& alarm);

// What the list says of a repeating alarm: its rule, a pause or skip, and its next ring after
// `now`, "法定工作日 · 下次：10月10日 周六 07:30" (without the rule when `withRule` is
// false). Empty for a one-off alarm. UTF-8.
std::string NextRingText(const AlarmClockRecord& alarm, std::time_t now, bool withRule = true);

// The date of the next occurrence that the alarm skips, while that is still to come.
std::optional<CivilDate> SkippedDate(const AlarmClockRecord& alarm, std::time_t now);

// For an alarm that follows the official schedule and whose next ring falls in a year the
// schedule does not know yet: "2027年放假安排尚未公布，暂按周一至周五". Empty otherwise.
std::string UnpublishedYearNote(const AlarmClockRecord& alarm, std::time_t now);
std::string UnpublishedYearNote(int year);

}  // namespace zorvel
