#pragma once

#include <array>
#include <string>
#include <vector>

#include "storage/records.h"

namespace zorvel {

// The ring list of the alarm editors; an entry's position is its RingType. A custom song
// (RingType 7) has no entry: the list then shows the song's path.
inline const std::array<std::u16string, 7> kRingListEntries = {
    u"#系统歌曲1", u"#系统歌曲2", u"#震动提示", u"#无声提示",
    u"#运行程序",  u"#重启电脑",  u"#关闭电脑"};

struct HourMinute {
    int hour = 0;
    int minute = 0;
};

// The time a new alarm is offered at: one minute after `now` (hour and minute of the local
// time). After 23:59 it is 00:00; the date is not moved on.
HourMinute DefaultAlarmTime(int hour, int minute);

// The stored alarm time: "2011-09-18 08:30:00" (seconds always 00).
std::u16string BuildAlarmTime(int year, int month, int day, int hour, int minute);

// The time as the log names it: "每天 " in front for an every-day alarm.
std::u16string LogTimeText(const std::u16string& alarmTime, bool isEveryday);

// The entries of the quick-text menu: the texts of the stored alarms in their order, except
// "起床" and "睡觉", which always come last.
std::vector<std::u16string> QuickTexts(const AlarmClockList& alarms);

}  // namespace zorvel
