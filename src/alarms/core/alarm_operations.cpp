#include "alarms/core/alarm_operations.h"

#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_time.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"

namespace zorvel {

std::u16string AddedAlarmLogLine(const std::u16string& timeText) {
    return u"添加了一个闹钟 " + timeText;
}

std::u16string UpdatedAlarmLogLine(const std::u16string& timeText) {
    return u"更新了一个闹钟 " + timeText;
}

std::u16string DeletedAlarmLogLine(const std::u16string& timeText, bool automatic) {
    return (automatic ? u"自动删除了一个过期闹钟 " : u"手动删除了一个闹钟 ") + timeText;
}

namespace {
bool Insert(CClockManager& manager, const AlarmValues& v) {
    return manager.AddAlarmClock(v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring,
                                 v.ringType);
}
}  // namespace

SaveResult AddAlarm(CClockManager& manager, const AlarmValues& v) {
    CTransaction transaction(manager.Database());
    if (!Insert(manager, v))
        return SaveResult::kRefused;
    manager.AddLog(AddedAlarmLogLine(LogTimeText(v.alarmTime, v.isEveryday)));
    transaction.Commit();
    return SaveResult::kAdded;
}

SaveResult UpdateAlarm(CClockManager& manager, const std::string& id, const AlarmValues& v) {
    CTransaction transaction(manager.Database());
    SaveResult result = SaveResult::kUpdated;
    if (!manager.ModifyAlarmClock(id, v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring,
                                  v.ringType)) {
        if (!Insert(manager, v))
            return SaveResult::kRefused;
        result = SaveResult::kStoredAnew;
    }
    const std::u16string timeText = LogTimeText(v.alarmTime, v.isEveryday);
    manager.AddLog(result == SaveResult::kUpdated ? UpdatedAlarmLogLine(timeText)
                                                  : AddedAlarmLogLine(timeText));
    transaction.Commit();
    return result;
}

bool DeleteAlarmByUser(CClockManager& manager, const std::string& id) {
    CTransaction transaction(manager.Database());
    AlarmClockRecord alarm;
    manager.GetAlarmClock(id, &alarm);
    if (!manager.RemoveAlarmClock(FromStored(id)))
        return false;
    manager.AddLog(
        DeletedAlarmLogLine(LogTimeText(FromStored(alarm.alarmTime), alarm.isEveryday), false));
    transaction.Commit();
    return true;
}

std::vector<AlarmClockRecord> AutoDeleteExpiredAlarms(CClockManager& manager, std::time_t now,
                                                      const std::set<std::string>& keep) {
    AlarmClockList alarms;
    manager.GetAllAlarmClocks(alarms);
    std::vector<AlarmClockRecord> deleted;
    for (const AlarmClockPtr& a : alarms) {
        if (a->isEveryday || keep.count(a->id))
            continue;
        auto t = ReadAlarmTime(a->alarmTime);
        if (!t || *t >= now)
            continue;
        CTransaction transaction(manager.Database());
        if (!manager.RemoveAlarmClock(FromStored(a->id)))
            continue;
        manager.AddLog(DeletedAlarmLogLine(FromStored(a->alarmTime), true));
        transaction.Commit();
        deleted.push_back(*a);
    }
    return deleted;
}

bool MayHaveExpiredAlarms(const AlarmClockList& list, std::time_t now,
                          const std::set<std::string>& deleted) {
    for (const AlarmClockPtr& a : list) {
        if (a->isEveryday || deleted.count(a->id))
            continue;
        auto t = ReadAlarmTime(a->alarmTime);
        if (t && *t < now)
            return true;
    }
    return false;
}

}  // namespace zorvel
