#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "platform/core/clock.h"
#include "storage/clock_manager.h"
#include "storage/ids.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

namespace {

using zorvel::FromStored;
using zorvel::ToStored;

class ClockManagerTest : public zorvel::test::TempDatabaseTest {
protected:
    void SetUp() override { clock.Set(zorvel::MakeLocalTime(2011, 9, 18, 8, 5, 3)); }
    AlarmClockList AllAlarms() {
        AlarmClockList all;
        manager().GetAllAlarmClocks(all);
        return all;
    }
};

TEST_F(ClockManagerTest, AddAlarmStoresConvertedTextsWithIdAndTimeStamp) {
    ASSERT_TRUE(
        manager().AddAlarmClock(u"2011-09-18 08:06:00", true, true, u"该起床了", u"mp3/1.mp3", 0));
    AlarmClockList all = AllAlarms();
    ASSERT_EQ(all.size(), 1u);
    const AlarmClockRecord& a = *all[0];
    EXPECT_EQ(a.addTime, "2011-09-18 08:05:03");
    EXPECT_EQ(a.alarmTime, "2011-09-18 08:06:00");
    EXPECT_EQ(FromStored(a.content), u"该起床了");
    EXPECT_EQ(a.content.substr(0, 2), "\xB8\xC3");  // 该 in code page 936 bytes
    EXPECT_EQ(a.id.size(), 38u);
    EXPECT_TRUE(a.isEveryday && a.isRing);
    EXPECT_TRUE(manager().RemoveAlarmClock(FromStored(a.id)));
    EXPECT_TRUE(AllAlarms().empty());
}

TEST_F(ClockManagerTest, ContentLimitIs450Units) {
    CClockManager& m = manager();
    std::u16string ok(450, u'钟'), tooLong(451, u'a');
    EXPECT_TRUE(m.AddAlarmClock(u"2011-09-18 08:06:00", false, true, ok, u"", 0));
    EXPECT_FALSE(m.AddAlarmClock(u"2011-09-18 08:06:00", false, true, tooLong, u"", 0));
    std::string id = AllAlarms().at(0)->id;
    EXPECT_TRUE(m.ModifyAlarmClock(id, u"2011-09-18 09:00:00", false, true, ok, u"", 0));
    EXPECT_FALSE(m.ModifyAlarmClock(id, u"2011-09-18 10:00:00", false, true, tooLong, u"", 0));
    EXPECT_EQ(AllAlarms().at(0)->alarmTime, "2011-09-18 09:00:00");

    std::u16string noteId;
    EXPECT_FALSE(m.AddNote(noteId, tooLong, 1, u"t", true));
    EXPECT_TRUE(noteId.empty());
    EXPECT_TRUE(m.AddNote(noteId, ok, 1, u"t", true));
    std::string storedId = ToStored(noteId);
    EXPECT_TRUE(m.ModifyNote(storedId, ok, 0, u"t", true));
    EXPECT_FALSE(m.ModifyNote(storedId, tooLong, 0, u"t", true));
    // A surrogate pair counts as two units.
    std::u16string pairs;
    for (int i = 0; i < 226; ++i)
        pairs += u"😀";
    EXPECT_FALSE(m.AddNote(noteId, pairs, 1, u"t", true));
}

TEST_F(ClockManagerTest, EmptyAlarmTimeIsRefusedOnAddOnly) {
    CClockManager& m = manager();
    EXPECT_FALSE(m.AddAlarmClock(u"", false, true, u"x", u"", 0));
    EXPECT_TRUE(AllAlarms().empty());
    ASSERT_TRUE(m.AddAlarmClock(u"2011-09-18 08:06:00", false, true, u"x", u"", 0));
    std::string id = AllAlarms().at(0)->id;
    EXPECT_TRUE(m.ModifyAlarmClock(id, u"", false, true, u"x", u"", 0));
    EXPECT_EQ(AllAlarms().at(0)->alarmTime, "");
}

TEST_F(ClockManagerTest, TextsOutsideCodePage936AndLongPathsSurvive) {
    std::u16string content = u"表情😀 罕见字𠀀 €";
    std::u16string ring = u"/home/用户/" + std::u16string(300, u'音') + u".mp3";
    ASSERT_TRUE(manager().AddAlarmClock(u"2011-09-18 08:06:00", false, true, content, ring, 7));
    AlarmClockRecord a;
    manager().GetAlarmClock(AllAlarms().at(0)->id, &a);
    EXPECT_EQ(FromStored(a.content), content);
    EXPECT_EQ(FromStored(a.ring), ring);
    EXPECT_EQ(a.ringType, 7);
}

TEST_F(ClockManagerTest, NotesEventsAndLogs) {
    CClockManager& m = manager();
    std::u16string noteId;
    ASSERT_TRUE(m.AddNote(noteId, u"便笺", 5, u"2011-09-18 08:05:03", true));
    NoteRecord n;
    m.GetNote(ToStored(noteId), &n);
    EXPECT_EQ(FromStored(n.content), u"便笺");
    EXPECT_TRUE(n.isRing);
    EXPECT_EQ(n.addTime, "2011-09-18 08:05:03");
    EXPECT_TRUE(m.RemoveNote(noteId));

    ASSERT_TRUE(m.AddEvent(u"标题", u"{\\rtf1 正文}"));
    std::vector<EventRecord> events;
    m.GetAllEvents(events);
    ASSERT_EQ(events.size(), 1u);
    std::u16string eventId = FromStored(events[0].id);
    clock.Advance(std::chrono::hours(25));
    ASSERT_TRUE(m.ModifyEvent(eventId, u"新标题", u"新正文"));
    EventRecord e;
    m.GetEvent(eventId, &e);
    EXPECT_EQ(FromStored(e.content), u"新标题");
    EXPECT_EQ(e.addTime, "2011-09-18 08:05:03");
    EXPECT_EQ(e.lastUpdateTime, "2011-09-19 09:05:03");
    EXPECT_TRUE(m.RemoveEvent(eventId));
    EXPECT_FALSE(m.RemoveEvent(eventId));

    ASSERT_TRUE(m.AddLog(u"添加了一个闹钟 2011-09-18 08:06:00 'quoted'"));
    std::vector<LogRecord> logs;
    m.GetAllLogs(logs);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(FromStored(logs[0].content), u"添加了一个闹钟 2011-09-18 08:06:00 'quoted'");
    EXPECT_EQ(logs[0].logTime, "2011-09-19 09:05:03");
    EXPECT_TRUE(m.RemoveLog(FromStored(logs[0].id)));
}

TEST(IdTest, FormatAndUniqueness) {
    const std::regex form("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
    std::set<std::string> seen;
    for (int i = 0; i < 20000; ++i) {
        std::string id = zorvel::NewIdText();
        ASSERT_TRUE(std::regex_match(id, form)) << id;
        ASSERT_TRUE(seen.insert(id).second) << "repeated id " << id;
    }
    const unsigned char bytes[16] = {0x79, 0x66, 0x9E, 0x7C, 0x25, 0x74, 0xDE, 0x40,
                                     0x94, 0x4B, 0xE0, 0x7F, 0xC1, 0xF9, 0x0A, 0xE7};
    EXPECT_EQ(zorvel::FormatGuid(bytes), "{7C9E6679-7425-40de-944B-E07FC1F90AE7}");
}

TEST(IdTest, IdsStayUniqueWhenNoRandomBytesCanBeHad) {
    const zorvel::RandomSource none = [](void*, size_t) { return false; };
    std::set<std::string> seen;
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(seen.insert(zorvel::NewIdText(none)).second);
}

}  // namespace
