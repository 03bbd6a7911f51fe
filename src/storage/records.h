#pragma once

#include <memory>
#include <string>
#include <vector>

// Stored items as held in memory. Every text is stored text (GB18030), exactly as in
// the database; windows convert with zorvel::FromStored when they show it.

struct AlarmClockRecord {
    std::string id;
    std::string alarmTime;  // "%Y-%m-%d %H:%M:%S"; every-day alarms use only hour and minute
    bool isEveryday = false;
    bool isRing = false;
    std::string content;
    std::string ring;
    int ringType = 0;
    std::string addTime;
    bool hasRung = false;  // in memory only: set when it rang, cleared by a snooze
    // From the alarmRule table, empty when the alarm has no row there: the repeat rule's text,
    // the date of an occurrence to skip and the date before which nothing rings (YYYY-MM-DD).
    std::string rule;
    std::string skipDate;
    std::string pauseUntil;
    bool atSnooze = false;  // in memory only: stands for a snooze, ringing once at alarmTime
};

struct EventRecord {
    std::string id;
    std::string content;
    std::string content1;
    std::string addTime;
    std::string lastUpdateTime;  // empty until the first update
};

struct NoteRecord {
    std::string id;
    std::string content;
    bool isRing = false;
    std::string ringTime;
    bool isShowOnDesktop = false;
    std::string addTime;
};

struct LogRecord {
    std::string id;
    std::string content;
    std::string logTime;
};

// The one settings row.
struct SoftSetting {
    bool isAutoRun = false;
    bool ZDBS = false;
    bool BDBS = false;
    bool isAutoDelAlarmClock = false;
    bool isPwdReq = false;
    int ringPlayType = 0;
    std::string delPwd;
    int startupWindow = 0;
    bool isRestRemind = false;
    int restRemindInterval = 1;
};

// Alarms are shared between the scheduler's list and the ring windows.
using AlarmClockPtr = std::shared_ptr<AlarmClockRecord>;
using AlarmClockList = std::vector<AlarmClockPtr>;
