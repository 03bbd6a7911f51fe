#pragma once

#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "storage/records.h"

class CClockManager;

namespace zorvel {

// What the editors, the page and the engine do to stored alarms. Each change and its line in
// the user log land in one transaction, together or not at all; every log text is made here.

// The values of an alarm as the editors collect them (UTF-16, as typed).
struct AlarmValues {
    std::u16string alarmTime;
    bool isEveryday = false;
    bool isRing = false;
    std::u16string content;
    std::u16string ring;
    int ringType = 0;
    // The repeat rule's text; empty: once or every day, as isEveryday says. A repeating rule
    // goes with isEveryday set.
    std::string rule;
};

enum class SaveResult {
    kAdded,       // "添加了一个闹钟 …"
    kUpdated,     // "更新了一个闹钟 …"
    kStoredAnew,  // the alarm was deleted under its editor: stored as a new one, "添加了…"
    kRefused,     // the record service refused it (a text too long); nothing written
};

// The log lines, each with the time as the log names it ("每天 " first for an every-day
// alarm).
std::u16string AddedAlarmLogLine(const std::u16string& timeText);
std::u16string UpdatedAlarmLogLine(const std::u16string& timeText);
std::u16string DeletedAlarmLogLine(const std::u16string& timeText, bool automatic);

// Storage errors raise (CppSQLite3Exception); nothing is then written.
// `newId`, if given, receives the new alarm's id.
SaveResult AddAlarm(CClockManager& manager, const AlarmValues& values,
                    std::string* newId = nullptr);
// An alarm that went away while its editor was open (expired alarms are cleaned up every
// minute) is stored anew, so what the user entered is kept.
SaveResult UpdateAlarm(CClockManager& manager, const std::string& id, const AlarmValues& values);
// The user deleted the alarm with this stored id: removes it and logs it once it is really
// gone (an alarm deleted meanwhile needs no line). True when it was removed.
bool DeleteAlarmByUser(CClockManager& manager, const std::string& id);

// "跳过下一次" on a repeating alarm: its next occurrence after `now` does not ring; asked
// again while that occurrence is still to come, it rings after all.
enum class SkipResult {
    kSkipped,
    kUnskipped,
    kNotRepeating,  // a one-off alarm (editing or deleting it does the same), or none coming
    kGone,          // no such alarm
};
SkipResult ToggleSkipNext(CClockManager& manager, const std::string& id, std::time_t now);
// "暂停到…": no ring of a repeating alarm before the local date `until` ("YYYY-MM-DD"); an
// empty date ends the pause. False for a one-off or missing alarm, or a date that is not one.
bool PauseAlarmUntil(CClockManager& manager, const std::string& id, const std::string& until);

// Deletes every one-off alarm whose moment has passed and logs each, except those in `keep`
// (snoozed or ringing: they are still wanted). Called only while isAutoDelAlarmClock is on.
// Returns the alarms it deleted, as they were stored.
std::vector<AlarmClockRecord> AutoDeleteExpiredAlarms(CClockManager& manager, std::time_t now,
                                                      const std::set<std::string>& keep = {});

// Whether the list holds a one-off alarm whose moment has passed and that is not among
// `deleted` yet: the only alarms the automatic deletion could remove.
bool MayHaveExpiredAlarms(const AlarmClockList& list, std::time_t now,
                          const std::set<std::string>& deleted);

}  // namespace zorvel
