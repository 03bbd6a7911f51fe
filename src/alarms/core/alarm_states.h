#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "alarms/core/scheduler.h"
#include "alarms/core/state_files.h"
#include "platform/core/clock.h"
#include "storage/records.h"

namespace zorvel {

// Where an alarm stands.
enum class AlarmState {
    kWaiting,  // for its next minute
    kRinging,  // a ring window is open for it
    kSnoozed,  // to ring again at the snooze's time
    kDone,     // a one-off alarm that rang and was closed
    kMissed,   // its minute passed while nothing could ring it
};

// What a ring window shows of one ring: the alarm as it rang (its time is the minute it rang
// for, a snooze's included). `ring` tells this ring from any other, the same alarm's too.
struct RingSnapshot {
    std::uint64_t ring = 0;
    AlarmClockRecord alarm;
};

// Every alarm's state and the transitions the due test and the ring windows ask for. Windows
// never touch a record: they get snapshots and report what the user chose.
class CAlarmStates {
public:
    explicit CAlarmStates(TimePoint start);

    // The alarms as just read from storage. Pending snoozes carry over to alarms that were not
    // changed meanwhile; an alarm that is gone takes its snooze with it (unless it was taken
    // out as expired while it rang: that one is still wanted).
    void Load(const AlarmClockList& stored);
    // Snoozes kept from an earlier run, before the first Load. Those whose time passed at or
    // before `start` are returned (to be listed as missed) and dropped.
    AlarmClockList RestoreSnoozes(std::vector<PendingSnooze> snoozes);

    struct TickResult {
        std::vector<RingSnapshot> due;  // to ring now, in list order
        AlarmClockList missed;          // passed unrung (the clock jumped)
        bool listChanged = false;       // a snooze ended: an alarm shows its own time again
    };
    TickResult Tick(TimePoint now);

    // The user's choice in a ring window. A snooze of h hours and m minutes returns when the
    // alarm rings again; nothing when there is nothing to ring again (the alarm was deleted,
    // or its time cannot be moved).
    std::optional<std::string> Snooze(std::uint64_t ring, int hours, int minutes, std::time_t now);
    void Close(std::uint64_t ring);
    // The ring this number stands for, while its window is open.
    const RingSnapshot* Ring(std::uint64_t ring) const;

    // The user deleted this alarm: out of the test at once, and no longer snoozed.
    void DeletedByUser(const std::string& id);
    // The automatic deletion took these out of storage.
    void DeletedAsExpired(const std::vector<AlarmClockRecord>& alarms);
    // What the automatic deletion must leave: snoozed alarms are still to ring.
    std::set<std::string> SnoozedIds() const;
    const std::set<std::string>& deletedAsExpiredIds() const { return deletedIds_; }

    AlarmState StateOf(const std::string& id) const;
    // The alarms as they may ring: stored order, snoozed ones at their snooze's time.
    const AlarmClockList& alarmList() const { return schedule_.alarmList; }
    // The one-off alarms that came due while the program was not running (marked missed).
    AlarmClockList DueWhileAway(std::time_t since);
    void CheckAgainSince(TimePoint since) { schedule_.CheckAgainSince(since); }
    TimePoint previousCheck() const { return schedule_.previousCheck(); }

    std::vector<PendingSnooze> Snoozes() const;
    // True once after the pending snoozes changed (to be written down).
    bool TakeSnoozesChanged() { return std::exchange(snoozesChanged_, false); }

private:
    using Snoozes_ = std::multimap<std::string, PendingSnooze>;
    // The snooze a listed alarm is at, if it is at one.
    Snoozes_::iterator SnoozeListedAs(const AlarmClockRecord& listed);
    void EndSnooze(Snoozes_::iterator snooze);
    void SetState(const std::string& id, AlarmState state) { states_[id] = state; }

    // Nothing in the file makes ids unique, and a damaged one may hold two rows with one id.
    // Each such row rings, snoozes and comes back to its own time on its own; the rows are
    // told apart by what they show. States are kept by id, as the list asks for them.
    AlarmSchedule schedule_;
    std::multimap<std::string, AlarmClockRecord> stored_;  // as last read, by id
    Snoozes_ snoozes_;                                     // by id, at most one per row
    // Taken out of storage as expired: a window still open on one may yet snooze it.
    std::map<std::string, AlarmClockRecord> deletedAsExpired_;
    std::set<std::string> deletedIds_;
    std::map<std::uint64_t, RingSnapshot> rings_;         // open ring windows
    std::map<std::uint64_t, AlarmClockRecord> ringRows_;  // each open ring's row as stored
    std::uint64_t lastRing_ = 0;
    std::map<std::string, AlarmState> states_;
    bool snoozesChanged_ = false;
};

const char* AlarmStateName(AlarmState state);

}  // namespace zorvel
