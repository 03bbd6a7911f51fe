#include "cli/core/script_input.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "alarms/core/ring_plan.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {
namespace {

bool ReadNumber(std::string_view text, std::size_t at, std::size_t digits, int* value) {
    if (at + digits > text.size())
        return false;
    int v = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = v;
    return true;
}

// "HH:MM" or "HH:MM:SS" (seconds must be 00: alarms ring on the minute).
bool ReadClockTime(std::string_view text, int* hour, int* minute) {
    int second = 0;
    if (!(text.size() == 5 || (text.size() == 8 && text[5] == ':')) || text[2] != ':')
        return false;
    if (!ReadNumber(text, 0, 2, hour) || !ReadNumber(text, 3, 2, minute))
        return false;
    if (text.size() == 8 && (!ReadNumber(text, 6, 2, &second) || second != 0))
        return false;
    return *hour < 24 && *minute < 60;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::string ScriptTextRefusal(std::string_view text, std::size_t maxUnits) {
    if (Trimmed(text).empty())
        return "内容不能为空";
    const std::u16string wide = Utf8ToUtf16(text);
    if (Utf16ToUtf8(wide) != text)
        return "内容不是有效的 UTF-8 文字";
    for (char16_t c : wide)
        if ((c < 0x20 && c != u'\n' && c != u'\t' && c != u'\r') || c == 0x7F)
            return "内容含有控制字符";
    if (wide.size() > maxUnits)
        return "内容太长：最多 " + std::to_string(maxUnits) + " 个字，现有 " +
               std::to_string(wide.size()) + " 个";
    return {};
}

std::optional<ScriptAlarm> CheckScriptAlarm(const ScriptAlarmRequest& request, std::time_t now,
                                            std::string* error) {
    const auto fail = [&](std::string why) -> std::optional<ScriptAlarm> {
        *error = std::move(why);
        return std::nullopt;
    };
    ScriptAlarm alarm;
    const auto rule = ParseRepeatRule(request.repeat);
    if (!rule)
        return fail("无法识别的重复方式“" + request.repeat +
                    "”：可用 once、daily、workdays、holidays 或 weekly:1,2,3,4,5（1 为周一）");
    alarm.rule = *rule;

    // The time: a date and a time, or a time alone meaning its next coming.
    std::string at = Trimmed(request.at);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (at.size() >= 10 && at[4] == '-' && at[7] == '-') {
        const bool dateRead = ReadNumber(at, 0, 4, &year) && ReadNumber(at, 5, 2, &month) &&
                              ReadNumber(at, 8, 2, &day) && at.size() > 11 &&
                              (at[10] == ' ' || at[10] == 'T');
        if (!dateRead || !IsValidDate(year, month, day) ||
            !ReadClockTime(std::string_view(at).substr(11), &hour, &minute))
            return fail("无法识别的时间“" + request.at + "”：请写成 2026-12-10 07:30");
    } else if (ReadClockTime(at, &hour, &minute)) {
        std::tm local{};
        localtime_r(&now, &local);
        year = local.tm_year + 1900;
        month = local.tm_mon + 1;
        day = local.tm_mday;
        const auto today = LocalMoment(year, month, day, hour, minute, 0);
        if (today && *today <= now) {
            const CivilDate next = CivilFromDays(DaysFromCivil(year, month, day) + 1);
            year = next.year, month = next.month, day = next.day;
        }
    } else {
        return fail("无法识别的时间“" + request.at + "”：请写成 2026-12-10 07:30");
    }
    if (year < 1970 || year > 2099)
        return fail("时间“" + request.at + "”超出了 1970 至 2099 年");
    const auto moment = LocalMoment(year, month, day, hour, minute, 0);
    if (!alarm.rule.Repeats() && (!moment || *moment <= now))
        return fail("时间“" + request.at + "”已经过去了");
    char stored[32];
    std::snprintf(stored, sizeof stored, "%04d-%02d-%02d %02d:%02d:00", year, month, day, hour,
                  minute);
    alarm.alarmTime = Utf8ToUtf16(stored);

    if (std::string why = ScriptTextRefusal(request.text, 450); !why.empty())
        return fail(why);
    alarm.text = Utf8ToUtf16(request.text);

    static constexpr struct {
        const char* word;
        int type;
        const char16_t* entry;
    } kRings[] = {{"song1", kRingSystemSong1, u"#系统歌曲1"},
                  {"song2", kRingSystemSong2, u"#系统歌曲2"},
                  {"shake", kRingShake, u"#震动提示"},
                  {"silent", kRingSilent, u"#无声提示"}};
    for (const auto& r : kRings) {
        if (request.ring == r.word) {
            alarm.ringType = r.type;
            alarm.ring = r.entry;
            return alarm;
        }
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path song = fs::absolute(fs::path(request.ring), ec);
    const std::string ext = song.extension().string();
    if (ec || !(ext == ".mp3" || ext == ".MP3"))
        return fail("无法识别的铃声“" + request.ring +
                    "”：可用 song1、song2、shake、silent 或一个 .mp3 文件");
    if (!fs::is_regular_file(song, ec) || access(song.c_str(), R_OK) != 0)
        return fail("找不到铃声文件 " + song.string());
    alarm.ringType = kRingCustomSong;
    alarm.ring = Utf8ToUtf16(song.string());
    return alarm;
}

std::string IsoLocalTime(std::string_view stored) {
    std::string iso(stored);
    if (iso.size() == 19 && iso[10] == ' ')
        iso[10] = 'T';
    return iso;
}

std::string IsoLocalTime(std::time_t t) {
    return IsoLocalTime(FormatTimeText(t));
}

std::string RingWord(int ringType, const std::string& ringUtf8) {
    switch (ringType) {
        case kRingSystemSong1:
            return "song1";
        case kRingSystemSong2:
            return "song2";
        case kRingShake:
            return "shake";
        case kRingSilent:
            return "silent";
        case kRingRunProgram:
            return "program";
        case kRingRestart:
            return "restart";
        case kRingPowerOff:
            return "poweroff";
        default:
            return ringUtf8;
    }
}

}  // namespace zorvel
