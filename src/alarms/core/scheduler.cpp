#include "alarms/core/scheduler.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "alarms/core/alarm_time.h"
#include "alarms/core/repeat_rule.h"
#include "calendar/holiday_schedule.h"
#include "storage/time_text.h"

namespace zorvel {

namespace {
using std::chrono::seconds;
using std::chrono::system_clock;

// Stored times reach the year 9999, far beyond what a TimePoint (nanoseconds since 1970) holds
// and past which it would wrap round into the past. Such a moment is taken as the farthest one
// it holds, less a day for the arithmetic done on it: still far ahead.
TimePoint At(std::time_t t) {
    constexpr std::time_t kFarthest =
        std::chrono::duration_cast<seconds>(TimePoint::duration::max()).count() - 86400;
    return system_clock::from_time_t(std::clamp<std::time_t>(t, -kFarthest, kFarthest));
}
std::time_t WholeSeconds(TimePoint t) {
    return system_clock::to_time_t(t);
}
}  // namespace

// ---------------------------------------------------------------- alarms

AlarmSchedule::AlarmSchedule(TimePoint start) : previousCheck_(start - seconds(3)) {}

void AlarmSchedule::ReloadAlarmList(AlarmClockList records) {
    // The alarm as listed before: the same, or edited in nothing that decides when it rings.
    auto before = [this](const AlarmClockRecord& r) -> const AlarmClockRecord* {
        const AlarmClockRecord* near = nullptr;
        for (const AlarmClockPtr& o : alarmList) {
            if (o.get() == &r)
                continue;
            if (KeyOf(*o) == KeyOf(r))
                return o.get();
            if (!near && o->id == r.id && o->alarmTime == r.alarmTime &&
                o->isEveryday == r.isEveryday)
                near = o.get();
        }
        return near;
    };
    // An alarm that has just rung and is reloaded in its own minute (an add or edit on the page
    // in seconds 0 to 2) must not open a second ring window, nor ring again when the clock is
    // set back; an alarm moved to another time is new.
    std::map<AlarmKey, std::time_t, std::less<>> rang;
    for (const auto& r : records) {
        const AlarmClockRecord* old = before(*r);
        r->hasRung = old && old->hasRung;
        if (!old)
            continue;
        if (auto minute = rangMinute_.find(KeyOf(*old)); minute != rangMinute_.end())
            rang.emplace(KeyOf(*r), minute->second);
    }
    rangMinute_ = std::move(rang);
    // Snoozes and edits leave texts behind that no alarm has any more.
    if (occurrences_.size() > 4 * records.size() + 16)
        occurrences_.clear();
    alarmList = std::move(records);
}

void AlarmSchedule::RemoveFromList(const std::string& id) {
    auto it = std::find_if(alarmList.begin(), alarmList.end(),
                           [&](const AlarmClockPtr& r) { return r->id == id; });
    if (it != alarmList.end())
        alarmList.erase(it);
}

std::optional<std::time_t> AlarmSchedule::MinuteAtOrBefore(const AlarmClockRecord& alarm,
                                                           std::time_t now) {
    // Another holiday schedule may move any repeating alarm's occurrences.
    if (const std::uint64_t generation = HolidayScheduleGeneration();
        generation != scheduleGeneration_) {
        scheduleGeneration_ = generation;
        occurrences_.clear();
    }
    auto [at, added] =
        occurrences_.try_emplace(OccurrenceKey{alarm.alarmTime, alarm.isEveryday, alarm.rule,
                                               alarm.skipDate, alarm.pauseUntil, alarm.atSnooze});
    Occurrence& o = at->second;
    if (added || now < o.from || now >= o.until) {
        o.minute = AlarmMinuteAtOrBefore(alarm, now);
        o.from = std::numeric_limits<std::time_t>::min();
        o.until = std::numeric_limits<std::time_t>::max();
        // A one-off minute holds for ever; a repeating one until the next occurrence.
        if (RuleOf(alarm).Repeats()) {
            if (o.minute)
                o.from = *o.minute;
            o.until = AlarmMinuteAfter(alarm, now).value_or(o.until);
        }
    }
    return o.minute;
}

AlarmClockList AlarmSchedule::CheckDueAlarms(TimePoint now) {
    AlarmClockList due;
    std::time_t nowSec = WholeSeconds(now);
    for (const AlarmClockPtr& r : alarmList) {
        auto minute = MinuteAtOrBefore(*r, nowSec);
        if (!minute)
            continue;  // an unreadable time never rings
        TimePoint start = At(*minute);
        // Once the minute that rang is over, the alarm may ring at its next occurrence.
        if (r->hasRung && now >= start + seconds(60))
            r->hasRung = false;
        if (r->hasRung)
            continue;
        bool passedSinceLastCheck =
            start > previousCheck_ && start <= now && now - start < seconds(60);
        bool inFirstSeconds = nowSec - *minute >= 0 && nowSec - *minute < 3;
        if (!passedSinceLastCheck && !inFirstSeconds)
            continue;
        auto rang = rangMinute_.find(KeyOf(*r));
        if (rang != rangMinute_.end() && rang->second == *minute)
            continue;  // the clock was set back over a minute that has already rung
        r->hasRung = true;
        if (rang != rangMinute_.end())
            rang->second = *minute;
        else
            rangMinute_.emplace(KeyOf(*r), *minute);
        due.push_back(r);
    }
    previousCheck_ = now;
    return due;
}

AlarmClockList AlarmSchedule::MissedAlarms(TimePoint now) const {
    AlarmClockList missed;
    // Only what the due test can no longer ring: a minute that began a minute or more ago.
    const std::time_t latest = WholeSeconds(now) - 60;
    for (const AlarmClockPtr& r : alarmList) {
        auto minute = AlarmMinuteAtOrBefore(*r, latest);
        if (minute && *minute <= latest && At(*minute) > previousCheck_)
            missed.push_back(r);
    }
    return missed;
}

AlarmClockList AlarmSchedule::DueWhileAway(std::time_t since) const {
    AlarmClockList due;
    for (const AlarmClockPtr& r : alarmList) {
        if (r->isEveryday)
            continue;
        auto minute = AlarmMinuteAtOrBefore(*r, since);
        if (minute && *minute > since && At(*minute) <= previousCheck_)
            due.push_back(r);
    }
    return due;
}

// ---------------------------------------------------------------- chime

ChimeTrigger::ChimeTrigger(TimePoint start) : previousTick_(start - seconds(3)) {}

std::optional<ChimeTrigger::Chime> ChimeTrigger::Tick(TimePoint now, bool ZDBS, bool BDBS) {
    std::time_t nowSec = WholeSeconds(now);
    // The half hour the previous tick fell in usually still holds; the calendar is asked only
    // when it does not.
    if (nowSec < boundary_ || nowSec >= boundary_ + 1800) {
        std::tm tm{};
        localtime_r(&nowSec, &tm);
        tm.tm_min = tm.tm_min >= 30 ? 30 : 0;
        tm.tm_sec = 0;
        boundary_ = std::mktime(&tm);
    }
    TimePoint boundary = At(boundary_);
    TimePoint previous = previousTick_;
    previousTick_ = now;
    // Within the boundary's minute a late or skipped tick still chimes; once only, even when
    // the clock is set back over it.
    const std::time_t boundarySec = WholeSeconds(boundary);
    if (!(boundary > previous && now - boundary < seconds(60)) || boundarySec == lastChimed_)
        return std::nullopt;
    lastChimed_ = boundarySec;
    std::tm boundaryTm{};
    localtime_r(&boundary_, &boundaryTm);
    if ((boundaryTm.tm_min == 0 && ZDBS) || (boundaryTm.tm_min == 30 && BDBS))
        return Chime{boundaryTm.tm_hour, boundaryTm.tm_min};
    return std::nullopt;
}

// ---------------------------------------------------------------- rest reminder

bool RestCounter::Tick(bool isRestRemind, int restRemindInterval) {
    if (!isRestRemind)
        return false;
    ++restMinutes;
    // A damaged interval (none, or negative) means the default hour, not a reminder every
    // minute; a huge one is counted without overflow, so it never wraps round to that either.
    const std::int64_t hours = restRemindInterval >= 1 ? restRemindInterval : 1;
    return !showing_ && restMinutes >= hours * 60;
}

void RestCounter::ReminderClosed() {
    showing_ = false;
    restMinutes = 0;
}

std::string ClockLineText(std::time_t now) {
    return FormatTimeText(now);
}

}  // namespace zorvel
