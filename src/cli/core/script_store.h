#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "cli/core/script_input.h"
#include "storage/records.h"

class CClockManager;

// What scripts read and change, on a store: the same operations as the windows (each change
// with its log line, in one transaction), and the lists as scripts print them.
namespace zorvel {

struct ScriptAlarmRow {
    std::string id;
    std::string time;  // ISO 8601 local time of the stored moment (a one-off alarm's ring)
    std::string next;  // the next ring, ISO 8601 local time; "" when none is coming
    std::string rule;  // once, daily, workdays, holidays, weekly:1,…
    std::string text;  // UTF-8
    std::string ring;  // song1, song2, shake, silent, program, restart, poweroff or a path
    std::string skipDate;
    std::string pauseUntil;
};

std::vector<ScriptAlarmRow> ScriptAlarmRows(CClockManager& manager, std::time_t now);
std::string AlarmsJson(const std::vector<ScriptAlarmRow>& rows);
std::string AlarmsText(const std::vector<ScriptAlarmRow>& rows);

std::string NotesJson(const std::vector<NoteRecord>& notes);
std::string NotesText(const std::vector<NoteRecord>& notes);
// Memos by their plain text.
std::string MemosJson(const std::vector<EventRecord>& memos);
std::string MemosText(const std::vector<EventRecord>& memos);

// The outcome of a change: `ok`, or the reason it was refused; the id of what was made.
struct ScriptOutcome {
    bool ok = false;
    std::string message;  // UTF-8, for the terminal or the D-Bus error
    std::string id;
};

ScriptOutcome AddScriptAlarm(CClockManager& manager, const ScriptAlarm& alarm);
ScriptOutcome DeleteScriptAlarm(CClockManager& manager, const std::string& id);
// Toggles "跳过下一次", as the alarm page does.
ScriptOutcome SkipScriptAlarm(CClockManager& manager, const std::string& id, std::time_t now);
ScriptOutcome AddScriptNote(CClockManager& manager, const std::string& text, std::time_t now);

}  // namespace zorvel
