#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/core/clock.h"
#include "storage/records.h"

namespace zorvel {

// The alarms the one-second test walks, and the test itself. The list shares its records
// with the ring windows, so a snooze changes the very record the scheduler tests.
//
// A tick may come late or be skipped, so the test does not look for "seconds 0 to 2" alone:
// an alarm is due when the start of its minute fell after the previous check and less than
// a minute ago (or, as ever, when the current second is 0 to 2 of its minute).
class AlarmSchedule {
public:
    // The previous check counts as three seconds before start-up, so a program started in
    // seconds 0 to 2 of an alarm's minute still rings it.
    explicit AlarmSchedule(TimePoint start);

    void ReloadAlarmList(AlarmClockList records);
    // Drops the first record with this id (a ring window may keep it alive).
    void RemoveFromList(const std::string& id);
    // Marks and returns, in list order, the alarms to ring now.
    AlarmClockList CheckDueAlarms(TimePoint now);
    // The alarms whose minute fell after the previous check but too long ago to ring now (the
    // clock jumped: a resume from suspend, a correction): each alarm once, in list order.
    // Call before CheckDueAlarms.
    AlarmClockList MissedAlarms(TimePoint now) const;
    // The one-off alarms whose minute fell after `since` and at or before the previous check:
    // those that came due while the program was not running.
    AlarmClockList DueWhileAway(std::time_t since) const;
    TimePoint previousCheck() const { return previousCheck_; }
    // The list could not be read from `since` until now: the next check treats the time since
    // as unchecked, ringing what is less than a minute late and listing the rest as missed.
    void CheckAgainSince(TimePoint since) { previousCheck_ = std::min(previousCheck_, since); }

    AlarmClockList alarmList;

private:
    // AlarmMinuteAtOrBefore, remembered by time text for as long as the answer holds: the test
    // asks for every alarm every second, and reading the text and the calendar is most of it.
    std::optional<std::time_t> MinuteAtOrBefore(const AlarmClockRecord& alarm, std::time_t now);
    struct Occurrence {
        std::optional<std::time_t> minute;
        std::time_t from, until;  // the moments for which `minute` is the answer
    };
    // Everything of an alarm that decides its minutes.
    using OccurrenceKey =
        std::tuple<std::string, bool, std::string, std::string, std::string, bool>;
    std::map<OccurrenceKey, Occurrence> occurrences_;
    std::uint64_t scheduleGeneration_ = 0;

    // An alarm as the list shows it. Nothing in the file makes ids unique, and a damaged one
    // may hold two rows with one id: when they differ in anything shown they are two alarms
    // and each rings at its own minute; a row stored twice is one alarm and rings once.
    using AlarmKey = std::tuple<std::string, std::string, bool, bool, std::string, std::string, int,
                                std::string>;
    static auto KeyOf(const AlarmClockRecord& r) {
        return std::tie(r.id, r.alarmTime, r.isEveryday, r.isRing, r.content, r.ring, r.ringType,
                        r.rule);
    }

    TimePoint previousCheck_;
    // The start of the minute each alarm last rang for: a clock set back over that minute
    // lives it again, and the alarm must not ring a second time.
    std::map<AlarmKey, std::time_t, std::less<>> rangMinute_;
};

// Starts the spoken time on the hour (ZDBS) and half hour (BDBS). A chime is due when
// hh:00:00 or hh:30:00 fell after the previous tick and less than a minute ago, and that
// moment has not chimed yet (a clock set back lives it again).
class ChimeTrigger {
public:
    explicit ChimeTrigger(TimePoint start);
    struct Chime {
        int hour;
        int minute;
    };
    std::optional<Chime> Tick(TimePoint now, bool ZDBS, bool BDBS);

private:
    TimePoint previousTick_;
    std::time_t lastChimed_ = 0;
    std::time_t boundary_ = 0;  // the latest hh:00 or hh:30 at or before the previous tick
};

// Counts the minutes of work while the rest reminder is on. A reminder that is already
// showing is not stacked by further ticks; closing it starts the count afresh.
class RestCounter {
public:
    // One minute passed; true when the reminder should be shown now.
    bool Tick(bool isRestRemind, int restRemindInterval);
    void ReminderShown() { showing_ = true; }
    void ReminderClosed();
    int restMinutes = 0;

private:
    bool showing_ = false;
};

// The clock line of the main window.
std::string ClockLineText(std::time_t now);

}  // namespace zorvel
