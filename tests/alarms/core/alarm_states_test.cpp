#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_states.h"
#include "alarms/core/state_files.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;
using std::chrono::seconds;

TimePoint T(int y, int mo, int d, int h, int mi, int s) {
    return MakeLocalTime(y, mo, d, h, mi, s) + std::chrono::milliseconds(15);
}
std::time_t TT(int y, int mo, int d, int h, int mi, int s) {
    return std::chrono::system_clock::to_time_t(T(y, mo, d, h, mi, s));
}

AlarmClockPtr Alarm(const std::string& id, const std::string& time, bool everyday = false) {
    auto a = std::make_shared<AlarmClockRecord>();
    a->id = id;
    a->alarmTime = time;
    a->isEveryday = everyday;
    a->isRing = true;
    a->content = "text of " + id;
    return a;
}

// ---------------------------------------------------------------- states

TEST(AlarmStatesTest, RingSnoozeRingAgainAndClose) {
    CAlarmStates states(T(2030, 1, 1, 8, 29, 50));
    states.Load({Alarm("a", "2030-01-01 08:30:00")});
    EXPECT_EQ(states.StateOf("a"), AlarmState::kWaiting);
    EXPECT_TRUE(states.Tick(T(2030, 1, 1, 8, 29, 59)).due.empty());
    auto first = states.Tick(T(2030, 1, 1, 8, 30, 0)).due;
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].alarm.alarmTime, "2030-01-01 08:30:00");
    EXPECT_EQ(states.StateOf("a"), AlarmState::kRinging);

    // Snoozed a minute after the minute it rang in; a reload (an unrelated change) keeps it.
    auto until = states.Snooze(first[0].ring, 0, 1, TT(2030, 1, 1, 8, 30, 20));
    ASSERT_TRUE(until);
    EXPECT_EQ(*until, "2030-01-01 08:31:00");
    EXPECT_EQ(states.StateOf("a"), AlarmState::kSnoozed);
    EXPECT_FALSE(states.Snooze(first[0].ring, 0, 1, 0));  // one answer per ring
    EXPECT_TRUE(states.TakeSnoozesChanged());
    states.Load({Alarm("a", "2030-01-01 08:30:00")});
    EXPECT_EQ(states.alarmList()[0]->alarmTime, "2030-01-01 08:31:00");

    auto again = states.Tick(T(2030, 1, 1, 8, 31, 1));
    ASSERT_EQ(again.due.size(), 1u);
    EXPECT_EQ(again.due[0].alarm.alarmTime, "2030-01-01 08:31:00");  // what the window shows
    EXPECT_NE(again.due[0].ring, first[0].ring);
    EXPECT_TRUE(again.listChanged);  // the page shows the alarm's own time again
    EXPECT_EQ(states.alarmList()[0]->alarmTime, "2030-01-01 08:30:00");
    EXPECT_TRUE(states.Snoozes().empty());
    states.Close(again.due[0].ring);
    EXPECT_EQ(states.StateOf("a"), AlarmState::kDone);
    EXPECT_TRUE(states.Tick(T(2030, 1, 1, 8, 32, 0)).due.empty());
}

TEST(AlarmStatesTest, EditsAndDeletionsEndASnoozeButExpiryWhileRingingDoesNot) {
    CAlarmStates states(T(2030, 1, 1, 8, 29, 59));
    states.Load({Alarm("edited", "2030-01-01 08:30:00"), Alarm("deleted", "2030-01-01 08:30:00"),
                 Alarm("expired", "2030-01-01 08:30:00")});
    auto due = states.Tick(T(2030, 1, 1, 8, 30, 0)).due;
    ASSERT_EQ(due.size(), 3u);
    // The automatic deletion takes the expired one out while its window is open.
    states.DeletedAsExpired({*Alarm("expired", "2030-01-01 08:30:00")});
    for (const RingSnapshot& r : due)
        ASSERT_TRUE(states.Snooze(r.ring, 0, 5, TT(2030, 1, 1, 8, 30, 10)));
    EXPECT_EQ(states.SnoozedIds().size(), 3u);

    auto changed = Alarm("edited", "2030-01-01 09:00:00");
    states.Load({changed, Alarm("deleted", "2030-01-01 08:30:00")});
    states.DeletedByUser("deleted");
    EXPECT_EQ(states.SnoozedIds(), std::set<std::string>{"expired"});
    EXPECT_EQ(states.StateOf("edited"), AlarmState::kWaiting);
    auto rang = states.Tick(T(2030, 1, 1, 8, 35, 0)).due;
    ASSERT_EQ(rang.size(), 1u);
    EXPECT_EQ(rang[0].alarm.id, "expired");
    // A snooze of an alarm the user deleted while its window was open rings nothing.
    states.DeletedByUser("expired");
    EXPECT_FALSE(states.Snooze(rang[0].ring, 0, 1, TT(2030, 1, 1, 8, 35, 5)));
    EXPECT_TRUE(states.SnoozedIds().empty());
}

// Rows that share an id (a damaged file) ring, snooze and come back each on its own.
TEST(AlarmStatesTest, RowsSharingAnIdSnoozeEachOnTheirOwn) {
    auto rows = [] {
        auto daily = Alarm("d", "2030-01-01 08:30:00", true);
        daily->content = "另一个";
        return AlarmClockList{Alarm("d", "2030-01-01 08:30:00"), daily,
                              Alarm("d", "2030-01-01 20:00:00")};
    };
    CAlarmStates states(T(2030, 1, 1, 8, 29, 59));
    states.Load(rows());
    auto due = states.Tick(T(2030, 1, 1, 8, 30, 0)).due;
    ASSERT_EQ(due.size(), 2u);
    ASSERT_TRUE(states.Snooze(due[0].ring, 0, 5, TT(2030, 1, 1, 8, 30, 10)));
    ASSERT_TRUE(states.Snooze(due[1].ring, 0, 10, TT(2030, 1, 1, 8, 30, 10)));
    states.Load(rows());  // an unrelated change
    auto times = [&] {
        std::vector<std::string> t;
        for (const AlarmClockPtr& a : states.alarmList())
            t.push_back(a->alarmTime);
        return t;
    };
    EXPECT_EQ(times(), (std::vector<std::string>{"2030-01-01 08:35:00", "2030-01-01 08:40:00",
                                                 "2030-01-01 20:00:00"}));
    std::vector<std::string> rang;
    for (int m = 31; m <= 41; ++m) {
        for (const RingSnapshot& r : states.Tick(T(2030, 1, 1, 8, m, 0)).due) {
            rang.push_back(r.alarm.content + " " + r.alarm.alarmTime);
            // Snoozed again once: back at its own time after that.
            if (m == 35) {
                ASSERT_TRUE(states.Snooze(r.ring, 0, 1, TT(2030, 1, 1, 8, m, 5)));
            }
        }
    }
    EXPECT_EQ(rang, (std::vector<std::string>{"text of d 2030-01-01 08:35:00",
                                              "text of d 2030-01-01 08:36:00",
                                              "另一个 2030-01-01 08:40:00"}));
    EXPECT_EQ(times(), (std::vector<std::string>{"2030-01-01 08:30:00", "2030-01-01 08:30:00",
                                                 "2030-01-01 20:00:00"}));
    EXPECT_TRUE(states.Snoozes().empty());
}

TEST(AlarmStatesTest, ASnoozeMissedDuringSleepIsListedOnceAndEnds) {
    CAlarmStates states(T(2030, 1, 1, 8, 29, 59));
    states.Load({Alarm("a", "2030-01-01 08:30:00")});
    auto due = states.Tick(T(2030, 1, 1, 8, 30, 0)).due;
    ASSERT_TRUE(states.Snooze(due[0].ring, 0, 10, TT(2030, 1, 1, 8, 30, 5)));
    states.TakeSnoozesChanged();
    // Asleep from 08:31 to 09:00.
    states.Tick(T(2030, 1, 1, 8, 31, 0));
    auto woke = states.Tick(T(2030, 1, 1, 9, 0, 0));
    ASSERT_EQ(woke.missed.size(), 1u);
    EXPECT_EQ(woke.missed[0]->alarmTime, "2030-01-01 08:40:00");  // listed at the snooze's time
    EXPECT_EQ(states.StateOf("a"), AlarmState::kMissed);
    EXPECT_TRUE(states.Snoozes().empty());
    EXPECT_TRUE(states.TakeSnoozesChanged());  // so the kept file forgets it too
    EXPECT_TRUE(states.Tick(T(2030, 1, 2, 9, 0, 0)).missed.empty());
}

TEST(AlarmStatesTest, RestoredSnoozesRingOrAreListedAsMissed) {
    PendingSnooze ahead{"2030-01-01 08:31:00", *Alarm("ahead", "2030-01-01 08:30:00")};
    PendingSnooze passed{"2030-01-01 08:20:00", *Alarm("passed", "2030-01-01 08:10:00")};
    PendingSnooze expired{"2030-01-01 08:32:00", *Alarm("expired", "2030-01-01 08:00:00"), true};
    CAlarmStates states(T(2030, 1, 1, 8, 30, 40));
    AlarmClockList missed = states.RestoreSnoozes({ahead, passed, expired});
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(missed[0]->id, "passed");
    EXPECT_EQ(missed[0]->alarmTime, "2030-01-01 08:20:00");
    // "expired" was taken out of storage while it rang; "passed" is still stored.
    states.Load({Alarm("ahead", "2030-01-01 08:30:00"), Alarm("passed", "2030-01-01 08:10:00")});
    std::vector<std::string> rang;
    for (int s = 0; s < 180; ++s) {
        for (const RingSnapshot& r : states.Tick(T(2030, 1, 1, 8, 30, 41) + seconds(s)).due)
            rang.push_back(r.alarm.id + " " + r.alarm.alarmTime);
    }
    EXPECT_EQ(rang, (std::vector<std::string>{"ahead 2030-01-01 08:31:00",
                                              "expired 2030-01-01 08:32:00"}));
}

// ---------------------------------------------------------------- state files

TEST(StateFilesTest, SnoozesRoundTripWithAnyBytesAndDamageCountsAsNone) {
    test::TempDir dir;
    const std::string path = dir.File("state/snoozes");
    EXPECT_TRUE(ReadSnoozes(path).empty());
    PendingSnooze s{"2030-01-01 08:31:00", *Alarm("{id}", "2030-01-01 08:30:00", true), true};
    s.asStored.content = std::string("tab\there\nline\0end", 17) + ToStored(u"起床");
    s.asStored.ring = "";
    s.asStored.ringType = 7;
    ASSERT_TRUE(WriteSnoozes(path, {s, PendingSnooze{"x", *Alarm("{2}", "y")}}));
    auto back = ReadSnoozes(path);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].until, s.until);
    EXPECT_EQ(back[0].asStored.content, s.asStored.content);
    EXPECT_EQ(back[0].asStored.ring, "");
    EXPECT_EQ(back[0].asStored.ringType, 7);
    EXPECT_TRUE(back[0].asStored.isEveryday);
    EXPECT_TRUE(back[0].deletedAsExpired);
    EXPECT_FALSE(back[1].deletedAsExpired);

    std::ofstream(path, std::ios::app) << "=zz\tgarbage\n";  // a damaged line is skipped
    EXPECT_EQ(ReadSnoozes(path).size(), 2u);
    std::ofstream(path) << "something else\n";
    EXPECT_TRUE(ReadSnoozes(path).empty());

    ASSERT_TRUE(WriteLastSeen(dir.File("state/last-seen"), 1234567890));
    ASSERT_TRUE(WriteLastSeen(dir.File("state/last-seen"), 99));  // shorter, same width
    EXPECT_EQ(ReadLastSeen(dir.File("state/last-seen")), 99);
}

// ---------------------------------------------------------------- operations

class AlarmOperationsTest : public test::TempDatabaseTest {
protected:
    AlarmValues Values(const std::u16string& time, bool everyday, const std::u16string& text) {
        AlarmValues v;
        v.alarmTime = time;
        v.isEveryday = everyday;
        v.isRing = true;
        v.content = text;
        v.ring = u"#系统歌曲1";
        return v;
    }
};

TEST_F(AlarmOperationsTest, EachChangeLandsWithItsLogLine) {
    EXPECT_EQ(AddAlarm(manager(), Values(u"2011-09-18 07:00:00", true, u"起床")),
              SaveResult::kAdded);
    EXPECT_EQ(
        AddAlarm(manager(), Values(u"2011-09-18 08:00:00", false, std::u16string(451, u'长'))),
        SaveResult::kRefused);
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    ASSERT_EQ(alarms.size(), 1u);
    const std::string id = alarms[0]->id;
    EXPECT_EQ(UpdateAlarm(manager(), id, Values(u"2011-09-18 07:30:00", false, u"改")),
              SaveResult::kUpdated);
    EXPECT_TRUE(DeleteAlarmByUser(manager(), id));
    EXPECT_FALSE(DeleteAlarmByUser(manager(), id));  // gone already: no second line
    // Deleted under its editor: what the user entered is stored anew.
    EXPECT_EQ(UpdateAlarm(manager(), id, Values(u"2011-09-18 09:00:00", true, u"又")),
              SaveResult::kStoredAnew);
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"添加了一个闹钟 每天 2011-09-18 07:00:00",
                                           u"更新了一个闹钟 2011-09-18 07:30:00",
                                           u"手动删除了一个闹钟 2011-09-18 07:30:00",
                                           u"添加了一个闹钟 每天 2011-09-18 09:00:00"}));
}

TEST_F(AlarmOperationsTest, AFailedLogLineTakesTheChangeBackWithIt) {
    ASSERT_EQ(AddAlarm(manager(), Values(u"2011-09-18 07:00:00", false, u"a")), SaveResult::kAdded);
    // A log table that refuses every row: the deletion must not land without its line.
    database().Open();
    CppSQLite3DB raw;
    OpenKeyed(raw, dbPath);
    raw.ExecuteUpdate(
        "create trigger refuse before insert on log begin select raise(abort, 'full'); end;");
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    EXPECT_THROW(DeleteAlarmByUser(manager(), alarms[0]->id), CppSQLite3Exception);
    alarms.clear();
    manager().GetAllAlarmClocks(alarms);
    EXPECT_EQ(alarms.size(), 1u);
}

TEST_F(AlarmOperationsTest, AutomaticDeletionNeverOfWhatIsKept) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"passed", u"", 0);
    manager().AddAlarmClock(u"2011-09-18 08:20:00", false, true, u"snoozed", u"", 0);
    manager().AddAlarmClock(u"2011-09-18 08:29:00", true, true, u"every day", u"", 0);
    manager().AddAlarmClock(u"2011-09-18 09:00:00", false, true, u"future", u"", 0);
    manager().AddAlarmClock(u"garbage", false, true, u"unreadable", u"", 0);
    AlarmClockList all;
    manager().GetAllAlarmClocks(all);
    const std::time_t now = TT(2011, 9, 18, 8, 31, 0);
    EXPECT_TRUE(MayHaveExpiredAlarms(all, now, {}));
    auto deleted = AutoDeleteExpiredAlarms(manager(), now, {all[1]->id});
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(FromStored(deleted[0].content), u"passed");
    EXPECT_EQ(StoredLogTexts(),
              std::vector<std::u16string>{u"自动删除了一个过期闹钟 2011-09-18 08:30:00"});
    EXPECT_FALSE(MayHaveExpiredAlarms(all, now, {all[0]->id, all[1]->id}));
}

}  // namespace
