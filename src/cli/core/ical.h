#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "calendar/holiday_schedule.h"
#include "storage/records.h"

class CClockManager;

// Alarms, notes and memos as iCalendar, for other calendars and back. Alarms are VEVENTs with
// the RRULE nearest to their rule and a VALARM; a workday or holiday alarm is carried as a
// weekly rule with the official exceptions of the years known (EXDATE and RDATE), and
// X-ZORVEL- properties keep what iCalendar has no word for, so Zorvel reads its own files back
// exactly. Notes and memos are VJOURNALs, a memo with its RTF attached.
namespace zorvel {

std::string ExportIcal(CClockManager& manager, const HolidaySchedule& schedule, std::time_t now);

// What a file would add, read before anything is written.
struct IcalImport {
    std::vector<AlarmClockRecord> alarms;  // ids made from the items' UIDs
    std::vector<NoteRecord> notes;
    std::vector<EventRecord> memos;
    int alreadyStored = 0;             // items whose UID is stored already: skipped
    std::vector<std::string> refused;  // "「周会」：按月重复无法表示", UTF-8
};

// Reads an iCalendar text. False with the reason when it is not one at all.
bool ReadIcal(const std::string& text, CClockManager& manager, std::time_t now, IcalImport* import,
              std::string* error);
// Stores what ReadIcal found, with the log lines the windows write, in one transaction.
void StoreIcalImport(CClockManager& manager, const IcalImport& import);

// The stored id an item's UID stands for: Zorvel's own ids as they are, any other UID turned
// into an id of the same form, the same every time, so a second import finds it.
std::string IdForUid(const std::string& uid);

}  // namespace zorvel
