#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "alarms/core/repeat_rule.h"

// What scripts hand the program, from the command line or over D-Bus: checked here, once, so
// both ways refuse the same things with the same words. Messages are UTF-8 Chinese.
namespace zorvel {

// An alarm as a script asks for it. Running a program, restarting and powering off are never
// among the rings: only the editor makes such alarms.
struct ScriptAlarmRequest {
    std::string at;    // "2026-12-10 07:30" (also with "T", with seconds, or "07:30")
    std::string text;  // UTF-8
    std::string repeat = "once";
    std::string ring = "song1";  // song1, song2, shake, silent or the path of an .mp3 file
};

// A request checked and turned into what is stored (UTF-16, as the editors collect it).
struct ScriptAlarm {
    std::u16string alarmTime;  // "2026-12-10 07:30:00"
    RepeatRule rule;
    std::u16string text;
    std::u16string ring;
    int ringType = 0;
};

// Nothing and the reason in `error` for a time, rule, ring or text that cannot be used.
// A time without a date means the next such minute after `now`; a one-off alarm must lie in
// the future; an .mp3 must be a readable file (kept by its absolute path).
std::optional<ScriptAlarm> CheckScriptAlarm(const ScriptAlarmRequest& request, std::time_t now,
                                            std::string* error);

// A text for an alarm or a note: not empty, valid UTF-8, no control characters but line
// breaks and tabs, at most `maxUnits` UTF-16 units. Empty when fine, the reason otherwise.
std::string ScriptTextRefusal(std::string_view text, std::size_t maxUnits);

// Stored "2026-12-10 07:30:00" as ISO 8601 local time, "2026-12-10T07:30:00".
std::string IsoLocalTime(std::string_view stored);
std::string IsoLocalTime(std::time_t t);

// The word a script uses for an alarm's ring (the inverse of the ring words above); "program",
// "restart" and "poweroff" for the editor-only kinds.
std::string RingWord(int ringType, const std::string& ringUtf8);

}  // namespace zorvel
