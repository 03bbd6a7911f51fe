#include "cli/core/ical.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <memory>

#include "alarms/core/alarm_operations.h"
#include "calendar/holiday_tables.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"
#include "support/temp_db.h"

namespace {

using zorvel::IcalImport;

class IcalTest : public zorvel::test::TempDatabaseTest {
protected:
    std::time_t Now() const { return *zorvel::LocalMoment(2026, 12, 10, 12, 0, 0); }

    std::string AddAlarm(const char16_t* time, const std::string& rule, int ringType,
                         const char16_t* ring, const char16_t* text) {
        zorvel::AlarmValues v;
        v.alarmTime = time;
        v.isEveryday = rule != "once";
        v.isRing = true;
        v.content = text;
        v.ring = ring;
        v.ringType = ringType;
        v.rule = rule == "once" ? "" : rule;
        std::string id;
        EXPECT_EQ(zorvel::AddAlarm(manager(), v, &id), zorvel::SaveResult::kAdded);
        return id;
    }

    std::string Export() {
        return zorvel::ExportIcal(manager(), *zorvel::ShippedHolidaySchedule(), Now());
    }
};

IcalImport Read(const std::string& text, CClockManager& into, std::time_t now) {
    IcalImport import;
    std::string error;
    EXPECT_TRUE(zorvel::ReadIcal(text, into, now, &import, &error)) << error;
    return import;
}

TEST_F(IcalTest, EveryRuleGoesOutAndComesBackExactlyAndOnlyOnce) {
    AddAlarm(u"2027-01-05 06:45:00", "once", 0, u"#系统歌曲1", u"赶飞机");
    AddAlarm(u"2026-12-01 07:00:00", "daily", 2, u"#震动提示", u"起床");
    const std::string work =
        AddAlarm(u"2026-09-01 07:30:00", "workdays", 1, u"#系统歌曲2", u"上班");
    AddAlarm(u"2026-12-01 09:00:00", "holidays", 3, u"#无声提示", u"睡个懒觉");
    AddAlarm(u"2026-12-01 19:00:00", "weekly:1,3,5", 7, u"/home/me/跑步.mp3",
             u"跑步 \"5km\"\n慢跑");
    zorvel::PauseAlarmUntil(manager(), work, "2027-01-04");
    zorvel::ToggleSkipNext(manager(), work, Now());
    std::u16string noteId;
    manager().AddNote(noteId, u"买牛奶；\n再买面包", 1, u"2026-12-10 11:00:00", true);
    manager().AddEvent(u"{\\rtf1\\ansi 会议 \\b 纪要\\b0\\par}", u"会议 纪要");

    const std::string text = Export();
    // libical's own check of the file.
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> parsed(
        icalparser_parse_string(text.c_str()), icalcomponent_free);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(icalrestriction_check(parsed.get()), 1);
    EXPECT_EQ(text.find("X-LIC-ERROR"), std::string::npos);
    // The official exceptions of a workday alarm: 1 October 2026 is a Thursday off, 10 October
    // a Saturday at work.
    EXPECT_NE(text.find("EXDATE:20261001T073000"), std::string::npos);
    EXPECT_NE(text.find("RDATE:20261010T073000"), std::string::npos);
    EXPECT_EQ(text.find("EXDATE:20251001T073000"), std::string::npos) << "before the alarm began";

    zorvel::test::TempDir other;
    zorvel::CStore fresh(other.File("other.db3"), clock);
    IcalImport import = Read(text, fresh.Manager(), Now());
    EXPECT_TRUE(import.refused.empty()) << import.refused.front();
    zorvel::StoreIcalImport(fresh.Manager(), import);

    AlarmClockList before, after;
    manager().GetAllAlarmClocks(before);
    fresh.Manager().GetAllAlarmClocks(after);
    ASSERT_EQ(before.size(), after.size());
    auto key = [](const AlarmClockRecord& a) {
        return a.id + "|" + a.alarmTime + "|" + std::to_string(a.isEveryday) + "|" +
               std::to_string(a.isRing) + "|" + a.content + "|" + a.ring + "|" +
               std::to_string(a.ringType) + "|" + a.rule + "|" + a.skipDate + "|" + a.pauseUntil;
    };
    std::multiset<std::string> want, got;
    for (const auto& a : before)
        want.insert(key(*a));
    for (const auto& a : after)
        got.insert(key(*a));
    EXPECT_EQ(want, got);
    std::vector<NoteRecord> notes;
    fresh.Manager().GetAllNotes(notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(zorvel::FromStored(notes[0].content), u"买牛奶；\n再买面包");
    std::vector<EventRecord> memos;
    fresh.Manager().GetAllEvents(memos);
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(zorvel::FromStored(memos[0].content), u"{\\rtf1\\ansi 会议 \\b 纪要\\b0\\par}");
    EXPECT_EQ(zorvel::FromStored(memos[0].content1), u"会议 纪要");

    const IcalImport again = Read(text, fresh.Manager(), Now());
    EXPECT_EQ(again.alreadyStored, 7);
    EXPECT_TRUE(again.alarms.empty() && again.notes.empty() && again.memos.empty());
}

TEST_F(IcalTest, ForeignItemsAreTakenWhereZorvelCanKeepThemAndListedWhereNot) {
    const std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//other//EN\r\n"
        "BEGIN:VEVENT\r\nUID:weekly@x\r\nDTSTART:20261214T083000\r\nSUMMARY:周会\r\n"
        "RRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:monthly@x\r\nDTSTART:20261214T083000\r\nSUMMARY:月报\r\n"
        "RRULE:FREQ=MONTHLY;BYMONTHDAY=1\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:allday@x\r\nDTSTART;VALUE=DATE:20261224\r\nSUMMARY:平安夜\r\nEND:"
        "VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:past@x\r\nDTSTART:20200101T080000\r\nSUMMARY:旧事\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:evil@x\r\nDTSTART:20270101T080000\r\nSUMMARY:x\r\n"
        "X-ZORVEL-RING-TYPE:6\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nUID:todo@x\r\nDUE:20261220T100000Z\r\nSUMMARY:交报告\r\nEND:VTODO\r\n"
        "BEGIN:VJOURNAL\r\nUID:journal@x\r\nDESCRIPTION:随手记\r\nEND:VJOURNAL\r\n"
        "END:VCALENDAR\r\n";
    const IcalImport import = Read(text, manager(), Now());
    ASSERT_EQ(import.alarms.size(), 2u);
    EXPECT_EQ(import.alarms[0].rule, "weekly:1,3");
    EXPECT_EQ(import.alarms[0].alarmTime, "2026-12-14 08:30:00");
    EXPECT_EQ(import.alarms[0].id, zorvel::IdForUid("weekly@x"));
    EXPECT_EQ(import.alarms[1].alarmTime,
              zorvel::FormatTimeText(*zorvel::ParseTimeText("2026-12-20 10:00:00") -
                                     timezone));  // UTC made local
    ASSERT_EQ(import.notes.size(), 1u);
    EXPECT_EQ(zorvel::FromStored(import.notes[0].content), u"随手记");
    ASSERT_EQ(import.refused.size(), 4u);
    EXPECT_NE(import.refused[0].find("按月重复"), std::string::npos) << import.refused[0];
    EXPECT_NE(import.refused[1].find("全天"), std::string::npos) << import.refused[1];
    EXPECT_NE(import.refused[2].find("已经过去"), std::string::npos) << import.refused[2];
    EXPECT_NE(import.refused[3].find("不能导入"), std::string::npos) << import.refused[3];

    std::string error;
    IcalImport none;
    EXPECT_FALSE(zorvel::ReadIcal("not a calendar", manager(), Now(), &none, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
