// Every-day alarms and the spoken time where the clock changes for daylight saving: in spring it
// skips an hour, in autumn it shows one twice.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "alarms/core/alarm_time.h"
#include "alarms/core/scheduler.h"
#include "storage/time_text.h"

namespace {

using namespace zorvel;
using std::chrono::seconds;
using std::chrono::system_clock;

// The test runs in Europe/Berlin's rule (CET, CEST from the last Sunday of March 02:00 to the
// last Sunday of October 03:00), spelled out so that it needs no time zone database.
class BerlinTime : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }

    // A moment given in UTC, and back as "MM-DD HH:MM:SS UTC".
    static TimePoint Utc(int y, int mo, int d, int h, int mi, int s = 0) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = mo - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = mi;
        tm.tm_sec = s;
        return system_clock::from_time_t(timegm(&tm));
    }
    static std::string UtcText(TimePoint t) {
        const std::time_t s = system_clock::to_time_t(t);
        std::tm tm{};
        gmtime_r(&s, &tm);
        char text[32];
        std::strftime(text, sizeof text, "%m-%d %H:%M:%S", &tm);
        return text;
    }

    // Ticks the alarms once a second from `from` to `to` and lists what rang when.
    static std::vector<std::string> Rings(AlarmSchedule& schedule, TimePoint from, TimePoint to) {
        std::vector<std::string> rang;
        for (TimePoint t = from; t <= to; t += seconds(1))
            for (const AlarmClockPtr& a : schedule.CheckDueAlarms(t))
                rang.push_back(a->id + " " + UtcText(t));
        return rang;
    }
    static AlarmClockPtr Daily(const std::string& id, const std::string& time) {
        auto a = std::make_shared<AlarmClockRecord>();
        a->id = id;
        a->alarmTime = time;
        a->isEveryday = true;
        a->isRing = true;
        return a;
    }

private:
    std::optional<std::string> saved_;
};

using Lines = std::vector<std::string>;

// 2024-03-31: at 01:00 UTC the clock goes from 02:00 CET to 03:00 CEST.
TEST_F(BerlinTime, SpringForwardRingsEveryDayAlarmOnceAndASkippedOneAtTheJump) {
    const TimePoint from = Utc(2024, 3, 30, 23, 0, 1);
    AlarmSchedule schedule(from);
    schedule.ReloadAlarmList(
        {Daily("01:30", "2024-01-10 01:30:00"), Daily("02:30", "2024-01-10 02:30:00"),
         // Stored on the day itself, at a time that day never shows.
         Daily("02:30 of that day", "2024-03-31 02:30:00"), Daily("03:15", "2024-01-10 03:15:00")});
    EXPECT_EQ(Rings(schedule, from, Utc(2024, 3, 31, 4, 0)),
              (Lines{"01:30 03-31 00:30:00", "02:30 03-31 01:00:00",
                     "02:30 of that day 03-31 01:00:00", "03:15 03-31 01:15:00"}));
    // The next day each rings at its own time again, in summer time.
    EXPECT_EQ(Rings(schedule, Utc(2024, 3, 31, 23, 0), Utc(2024, 4, 1, 1, 20)),
              (Lines{"01:30 03-31 23:30:00", "02:30 04-01 00:30:00",
                     "02:30 of that day 04-01 00:30:00", "03:15 04-01 01:15:00"}));
    EXPECT_EQ(AlarmTimeListText(*Daily("x", "2024-03-31 02:30:00")), "每天 2:30");
    // A one-off alarm at a skipped time rings when the clock jumps over it.
    EXPECT_EQ(ParseTimeText("2024-03-31 02:30:00"),
              system_clock::to_time_t(Utc(2024, 3, 31, 1, 0)));
}

// 2024-10-27: at 01:00 UTC the clock goes from 03:00 CEST back to 02:00 CET.
TEST_F(BerlinTime, FallBackRingsAnAlarmOfTheRepeatedHourOnceTheFirstTime) {
    const TimePoint from = Utc(2024, 10, 26, 22, 0, 1);
    AlarmSchedule schedule(from);
    schedule.ReloadAlarmList(
        {Daily("01:30", "2024-01-10 01:30:00"), Daily("02:30", "2024-01-10 02:30:00"),
         Daily("02:30 of that day", "2024-10-27 02:30:00"), Daily("03:15", "2024-01-10 03:15:00")});
    EXPECT_EQ(Rings(schedule, from, Utc(2024, 10, 27, 3, 0)),
              (Lines{"01:30 10-26 23:30:00", "02:30 10-27 00:30:00",
                     "02:30 of that day 10-27 00:30:00", "03:15 10-27 02:15:00"}));
    EXPECT_EQ(Rings(schedule, Utc(2024, 10, 28, 0, 0), Utc(2024, 10, 28, 2, 20)),
              (Lines{"01:30 10-28 00:30:00", "02:30 10-28 01:30:00",
                     "02:30 of that day 10-28 01:30:00", "03:15 10-28 02:15:00"}));
    EXPECT_EQ(ParseTimeText("2024-10-27 02:30:00"),
              system_clock::to_time_t(Utc(2024, 10, 27, 0, 30)));
}

// The spoken time follows the clock: no 2:00 or 2:30 on the night it skips them, both twice on
// the night it shows them twice.
TEST_F(BerlinTime, ChimesFollowTheClockThroughBothChanges) {
    auto chimes = [](TimePoint from, TimePoint to) {
        ChimeTrigger trigger(from);
        Lines said;
        for (TimePoint t = from; t <= to; t += seconds(1))
            if (auto c = trigger.Tick(t, true, true))
                said.push_back(std::to_string(c->hour) + ":" + std::to_string(c->minute) + " " +
                               UtcText(t));
        return said;
    };
    EXPECT_EQ(chimes(Utc(2024, 3, 30, 23, 1), Utc(2024, 3, 31, 2, 5)),
              (Lines{"0:30 03-30 23:30:00", "1:0 03-31 00:00:00", "1:30 03-31 00:30:00",
                     "3:0 03-31 01:00:00", "3:30 03-31 01:30:00", "4:0 03-31 02:00:00"}));
    EXPECT_EQ(chimes(Utc(2024, 10, 26, 23, 1), Utc(2024, 10, 27, 2, 5)),
              (Lines{"1:30 10-26 23:30:00", "2:0 10-27 00:00:00", "2:30 10-27 00:30:00",
                     "2:0 10-27 01:00:00", "2:30 10-27 01:30:00", "3:0 10-27 02:00:00"}));
}

}  // namespace

// The next ring the wake-up and the list show agrees with what the due test rings: the same
// day when the minute is still ahead, the next day otherwise, the jump's moment for a skipped
// minute, and nothing for a one-off alarm already past.
TEST_F(BerlinTime, NextMinuteAfterMatchesWhatRings) {
    auto text = [](std::optional<std::time_t> t) {
        return t ? UtcText(system_clock::from_time_t(*t)) : std::string("none");
    };
    auto at = [](TimePoint t) { return system_clock::to_time_t(t); };
    const auto daily = Daily("d", "2024-01-01 07:30:00");
    EXPECT_EQ(text(AlarmMinuteAfter(*daily, at(Utc(2024, 3, 30, 6, 29, 59)))), "03-30 06:30:00");
    EXPECT_EQ(text(AlarmMinuteAfter(*daily, at(Utc(2024, 3, 30, 6, 30)))), "03-31 05:30:00");
    const auto skipped = Daily("s", "2024-01-01 02:30:00");
    EXPECT_EQ(text(AlarmMinuteAfter(*skipped, at(Utc(2024, 3, 30, 23, 0)))), "03-31 01:00:00");
    AlarmClockRecord once = *daily;
    once.isEveryday = false;
    once.alarmTime = "2024-03-30 07:30:00";
    EXPECT_EQ(text(AlarmMinuteAfter(once, at(Utc(2024, 3, 30, 6, 0)))), "03-30 06:30:00");
    EXPECT_EQ(text(AlarmMinuteAfter(once, at(Utc(2024, 3, 30, 6, 30)))), "none");
}
