#include "alarms/core/alarm_editor_logic.h"

#include <cstdio>

#include "storage/text_codec.h"

namespace zorvel {

HourMinute DefaultAlarmTime(int hour, int minute) {
    if (minute + 1 <= 59)
        return {hour, minute + 1};
    return {hour + 1 > 23 ? 0 : hour + 1, 0};
}

std::u16string BuildAlarmTime(int year, int month, int day, int hour, int minute) {
    char text[48];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:00", year, month, day, hour, minute);
    return Utf8ToUtf16(text);
}

std::u16string LogTimeText(const std::u16string& alarmTime, bool isEveryday) {
    return isEveryday ? u"每天 " + alarmTime : alarmTime;
}

std::vector<std::u16string> QuickTexts(const AlarmClockList& alarms) {
    std::vector<std::u16string> texts;
    for (const AlarmClockPtr& alarm : alarms) {
        std::u16string text = FromStored(alarm->content);
        if (text != u"起床" && text != u"睡觉")
            texts.push_back(std::move(text));
    }
    texts.emplace_back(u"起床");
    texts.emplace_back(u"睡觉");
    return texts;
}

}  // namespace zorvel
