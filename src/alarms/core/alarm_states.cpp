#include "alarms/core/alarm_states.h"

#include <algorithm>

#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"

namespace zorvel {

namespace {
// Rows that share an id are told apart by these.
bool SameBesidesTime(const AlarmClockRecord& a, const AlarmClockRecord& b) {
    return a.isEveryday == b.isEveryday && a.isRing == b.isRing && a.content == b.content &&
           a.ring == b.ring && a.ringType == b.ringType;
}
bool SameAlarm(const AlarmClockRecord& a, const AlarmClockRecord& b) {
    return a.alarmTime == b.alarmTime && SameBesidesTime(a, b);
}

AlarmClockList Copies(const AlarmClockList& list) {
    AlarmClockList copies;
    for (const AlarmClockPtr& a : list)
        copies.push_back(std::make_shared<AlarmClockRecord>(*a));
    return copies;
}
}  // namespace

const char* AlarmStateName(AlarmState state) {
    switch (state) {
        case AlarmState::kWaiting:
            return "waiting";
        case AlarmState::kRinging:
            return "ringing";
        case AlarmState::kSnoozed:
            return "snoozed";
        case AlarmState::kDone:
            return "done";
        case AlarmState::kMissed:
            return "missed";
    }
    return "?";
}

CAlarmStates::CAlarmStates(TimePoint start) : schedule_(start) {}

void CAlarmStates::Load(const AlarmClockList& stored) {
    AlarmClockList loaded = Copies(stored);
    stored_.clear();
    for (const AlarmClockPtr& a : loaded)
        stored_.emplace(a->id, *a);

    const size_t snoozed = snoozes_.size();
    Snoozes_ kept;
    for (const AlarmClockPtr& a : loaded) {
        // Changed since the snooze (an edit): the snooze ends with the old alarm.
        auto [from, to] = snoozes_.equal_range(a->id);
        auto snooze =
            std::find_if(from, to, [&](const auto& s) { return SameAlarm(*a, s.second.asStored); });
        if (snooze == to)
            continue;
        a->alarmTime = snooze->second.until;
        a->atSnooze = true;
        kept.insert(*snooze);
        snoozes_.erase(snooze);
    }
    // A one-off alarm taken out of storage as expired while its ring window was open stays
    // snoozed in memory until it has rung again.
    for (const auto& [id, snooze] : snoozes_) {
        if (!deletedAsExpired_.count(id))
            continue;
        auto back = std::make_shared<AlarmClockRecord>(snooze.asStored);
        back->alarmTime = snooze.until;
        back->atSnooze = true;
        loaded.push_back(back);
        kept.emplace(id, snooze);
    }
    if (kept.size() != snoozed)
        snoozesChanged_ = true;
    snoozes_ = std::move(kept);

    // States follow the list: a new or changed alarm waits, a gone one has none.
    std::map<std::string, AlarmState> states;
    for (const AlarmClockPtr& a : loaded) {
        auto old = states_.find(a->id);
        auto before = std::find_if(
            schedule_.alarmList.begin(), schedule_.alarmList.end(),
            [&](const AlarmClockPtr& o) { return o->id == a->id && SameAlarm(*o, *a); });
        if (snoozes_.count(a->id))
            states[a->id] = AlarmState::kSnoozed;
        else if (old != states_.end() && before != schedule_.alarmList.end())
            states[a->id] =
                old->second == AlarmState::kSnoozed ? AlarmState::kWaiting : old->second;
        else
            states[a->id] = AlarmState::kWaiting;
    }
    states_ = std::move(states);
    schedule_.ReloadAlarmList(std::move(loaded));
}

AlarmClockList CAlarmStates::RestoreSnoozes(std::vector<PendingSnooze> snoozes) {
    AlarmClockList missed;
    const TimePoint start = schedule_.previousCheck();
    for (PendingSnooze& s : snoozes) {
        auto until = ReadAlarmTime(s.until);
        if (!until)
            continue;
        const std::time_t minute = *until - ((*until % 60) + 60) % 60;
        if (std::chrono::system_clock::from_time_t(minute) <= start) {
            auto passed = std::make_shared<AlarmClockRecord>(s.asStored);
            passed->alarmTime = s.until;
            missed.push_back(passed);
            SetState(s.asStored.id, AlarmState::kMissed);
            snoozesChanged_ = true;
            continue;
        }
        const std::string id = s.asStored.id;
        if (s.deletedAsExpired) {
            deletedAsExpired_[id] = s.asStored;
            deletedIds_.insert(id);
        }
        snoozes_.emplace(id, std::move(s));
    }
    return missed;
}

CAlarmStates::TickResult CAlarmStates::Tick(TimePoint now) {
    TickResult result;
    // A jump of the clock (a resume from suspend) is told, not rung hours late.
    if (now - schedule_.previousCheck() > std::chrono::seconds(60)) {
        AlarmClockList missed = schedule_.MissedAlarms(now);
        result.missed = Copies(missed);
        for (const AlarmClockPtr& a : missed) {
            if (auto snooze = SnoozeListedAs(*a); snooze != snoozes_.end()) {
                // A snooze that was missed is over: it is listed, not kept for ever.
                EndSnooze(snooze);
                result.listChanged = true;
            }
            SetState(a->id, AlarmState::kMissed);
        }
    }
    for (const AlarmClockPtr& alarm : schedule_.CheckDueAlarms(now)) {
        RingSnapshot snapshot{++lastRing_, *alarm};
        snapshot.alarm.hasRung = false;
        rings_[snapshot.ring] = snapshot;
        ringRows_[snapshot.ring] = snapshot.alarm;
        SetState(alarm->id, AlarmState::kRinging);
        // A snooze ends when it has rung: the alarm keeps its own time again (the window keeps
        // showing the time it rang at).
        if (auto snooze = SnoozeListedAs(*alarm); snooze != snoozes_.end()) {
            ringRows_[snapshot.ring] = snooze->second.asStored;
            EndSnooze(snooze);
            result.listChanged = true;
        }
        result.due.push_back(std::move(snapshot));
    }
    return result;
}

CAlarmStates::Snoozes_::iterator CAlarmStates::SnoozeListedAs(const AlarmClockRecord& listed) {
    auto [from, to] = snoozes_.equal_range(listed.id);
    auto snooze = std::find_if(from, to, [&](const auto& s) {
        return listed.alarmTime == s.second.until && SameBesidesTime(listed, s.second.asStored);
    });
    return snooze == to ? snoozes_.end() : snooze;
}

void CAlarmStates::EndSnooze(Snoozes_::iterator snooze) {
    const PendingSnooze& s = snooze->second;
    for (const AlarmClockPtr& a : schedule_.alarmList) {
        if (a->id == s.asStored.id && a->alarmTime == s.until && SameBesidesTime(*a, s.asStored)) {
            a->alarmTime = s.asStored.alarmTime;
            a->atSnooze = false;
        }
    }
    snoozes_.erase(snooze);
    snoozesChanged_ = true;
}

const RingSnapshot* CAlarmStates::Ring(std::uint64_t ring) const {
    auto it = rings_.find(ring);
    return it == rings_.end() ? nullptr : &it->second;
}

std::optional<std::string> CAlarmStates::Snooze(std::uint64_t ring, int hours, int minutes,
                                                std::time_t now) {
    auto open = rings_.find(ring);
    if (open == rings_.end())
        return std::nullopt;
    const AlarmClockRecord rang = open->second.alarm;
    rings_.erase(open);
    auto rowAt = ringRows_.find(ring);
    const AlarmClockRecord row = rowAt != ringRows_.end() ? rowAt->second : rang;
    ringRows_.erase(ring);
    const std::string& id = rang.id;
    // The row that rang as stored, else (edited since) the alarm as it is stored now.
    const AlarmClockRecord* asStored = nullptr;
    auto [from, to] = stored_.equal_range(id);
    for (auto it = from; it != to && !asStored; ++it)
        if (SameAlarm(it->second, row))
            asStored = &it->second;
    if (!asStored && from != to)
        asStored = &from->second;
    if (auto expired = deletedAsExpired_.find(id); !asStored && expired != deletedAsExpired_.end())
        asStored = &expired->second;  // deleted as expired while it rang: still wanted
    auto until = SnoozeUntil(rang.alarmTime, rang.isEveryday, hours, minutes, now);
    if (!asStored || !until) {
        // Deleted by the user meanwhile, or a time that cannot be moved: nothing to ring again.
        if (asStored)
            SetState(id, rang.isEveryday ? AlarmState::kWaiting : AlarmState::kDone);
        return std::nullopt;
    }
    // A second snooze of the same row replaces the first; a row sharing the id keeps its own.
    const PendingSnooze snooze{*until, *asStored, deletedAsExpired_.count(id) > 0};
    auto [sfrom, sto] = snoozes_.equal_range(id);
    auto old = std::find_if(
        sfrom, sto, [&](const auto& s) { return SameAlarm(s.second.asStored, snooze.asStored); });
    if (old != sto)
        old->second = snooze;
    else
        snoozes_.emplace(id, snooze);
    snoozesChanged_ = true;
    bool listed = false;
    for (const AlarmClockPtr& a : schedule_.alarmList) {
        if (a->id == id && (SameAlarm(*a, rang) || SameAlarm(*a, snooze.asStored))) {
            a->alarmTime = *until;
            a->atSnooze = true;
            a->hasRung = false;
            listed = true;
        }
    }
    if (!listed) {
        auto back = std::make_shared<AlarmClockRecord>(snooze.asStored);
        back->alarmTime = *until;
        back->atSnooze = true;
        schedule_.alarmList.push_back(back);
    }
    SetState(id, AlarmState::kSnoozed);
    return until;
}

void CAlarmStates::Close(std::uint64_t ring) {
    auto open = rings_.find(ring);
    if (open == rings_.end())
        return;
    const AlarmClockRecord rang = open->second.alarm;
    rings_.erase(open);
    ringRows_.erase(ring);
    if (snoozes_.count(rang.id) || !states_.count(rang.id))
        return;
    SetState(rang.id, rang.isEveryday ? AlarmState::kWaiting : AlarmState::kDone);
}

void CAlarmStates::DeletedByUser(const std::string& id) {
    schedule_.RemoveFromList(id);
    if (snoozes_.erase(id))
        snoozesChanged_ = true;
    deletedAsExpired_.erase(id);
    stored_.erase(id);
    states_.erase(id);
}

void CAlarmStates::DeletedAsExpired(const std::vector<AlarmClockRecord>& alarms) {
    for (const AlarmClockRecord& a : alarms) {
        deletedAsExpired_[a.id] = a;
        deletedIds_.insert(a.id);
    }
}

std::set<std::string> CAlarmStates::SnoozedIds() const {
    std::set<std::string> ids;
    for (const auto& [id, snooze] : snoozes_)
        ids.insert(id);
    return ids;
}

AlarmState CAlarmStates::StateOf(const std::string& id) const {
    for (const auto& [number, ring] : rings_) {
        if (ring.alarm.id == id)
            return AlarmState::kRinging;
    }
    auto state = states_.find(id);
    return state == states_.end() ? AlarmState::kWaiting : state->second;
}

AlarmClockList CAlarmStates::DueWhileAway(std::time_t since) {
    AlarmClockList away = schedule_.DueWhileAway(since);
    for (const AlarmClockPtr& a : away)
        SetState(a->id, AlarmState::kMissed);
    return Copies(away);
}

std::vector<PendingSnooze> CAlarmStates::Snoozes() const {
    std::vector<PendingSnooze> all;
    for (const auto& [id, snooze] : snoozes_) {
        PendingSnooze s = snooze;
        s.deletedAsExpired = deletedAsExpired_.count(id) > 0;
        all.push_back(std::move(s));
    }
    return all;
}

}  // namespace zorvel
