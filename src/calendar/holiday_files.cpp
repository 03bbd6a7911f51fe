#include "calendar/holiday_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include "calendar/civil_date.h"
#include "calendar/holiday_tables.h"

namespace zorvel {

namespace {

// A small strict JSON reader: the files come from the network or from anyone's hand, and the
// core has no JSON library. Depth and size are bounded by the caller's limits.
struct Json {
    enum class Type { kNull, kBool, kNumber, kString, kArray, kObject } type = Type::kNull;
    bool boolean = false;
    std::string text;         // a string's value, or a number's digits as written
    std::vector<Json> items;  // an array's values, or an object's (keys in `keys`)
    std::vector<std::string> keys;

    const Json* Member(std::string_view key) const {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                return &items[i];
        return nullptr;
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : s_(text) {}

    bool Document(Json& out) {
        if (!Value(out, 0))
            return false;
        Space();
        return pos_ == s_.size();
    }

private:
    static constexpr int kMaxDepth = 8;

    void Space() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }
    bool Eat(char c) {
        Space();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w) {
        if (s_.substr(pos_, w.size()) != w)
            return false;
        pos_ += w.size();
        return true;
    }

    bool Value(Json& out, int depth) {
        if (depth > kMaxDepth)
            return false;
        Space();
        if (pos_ >= s_.size())
            return false;
        const char c = s_[pos_];
        if (c == '{')
            return Object(out, depth);
        if (c == '[')
            return Array(out, depth);
        if (c == '"') {
            out.type = Json::Type::kString;
            return String(out.text);
        }
        if (c == 't' || c == 'f') {
            out.type = Json::Type::kBool;
            out.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            out.type = Json::Type::kNull;
            return Word("null");
        }
        return Number(out);
    }

    bool Object(Json& out, int depth) {
        out.type = Json::Type::kObject;
        ++pos_;
        if (Eat('}'))
            return true;
        do {
            Space();
            std::string key;
            if (pos_ >= s_.size() || s_[pos_] != '"' || !String(key) || !Eat(':'))
                return false;
            out.keys.push_back(std::move(key));
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1))
                return false;
        } while (Eat(','));
        return Eat('}');
    }

    bool Array(Json& out, int depth) {
        out.type = Json::Type::kArray;
        ++pos_;
        if (Eat(']'))
            return true;
        do {
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1))
                return false;
        } while (Eat(','));
        return Eat(']');
    }

    bool Number(Json& out) {
        out.type = Json::Type::kNumber;
        const std::size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-')
            ++pos_;
        const auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9')
                ++pos_;
            return pos_ > from;
        };
        if (!digits())
            return false;
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (!digits())
                return false;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-'))
                ++pos_;
            if (!digits())
                return false;
        }
        out.text = std::string(s_.substr(start, pos_ - start));
        return true;
    }

    bool Hex4(unsigned& value) {
        value = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            if (pos_ >= s_.size())
                return false;
            const char c = s_[pos_];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<unsigned>(c - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    static void PutUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool String(std::string& out) {
        ++pos_;  // the opening quote
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size())
                return false;
            const char e = s_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = 0;
                    if (!Hex4(cp))
                        return false;
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        unsigned low = 0;
                        if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
                            return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        return false;
                    }
                    PutUtf8(out, cp);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        unsigned cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

// "YYYY-MM-DD" exactly.
bool ParseIsoDate(const std::string& text, int& y, int& m, int& d) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    y = std::stoi(text.substr(0, 4));
    m = std::stoi(text.substr(5, 2));
    d = std::stoi(text.substr(8, 2));
    return IsValidDate(y, m, d);
}

// At most `bytes` bytes of valid UTF-8 text, cut before a character rather than inside one.
std::string Excerpt(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes)
        return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    return text.substr(0, bytes) + "…";
}

// Names show on one line of the today panel; a longer one is not a holiday's name.
constexpr std::size_t kMaxNameBytes = 60;

}  // namespace

HolidayYearData ParseHolidayYear(std::string_view json, int year) {
    HolidayYearData result;
    const auto fail = [&](std::string why) {
        result.days.clear();
        result.error = std::move(why);
        return result;
    };
    const std::string y = std::to_string(year);
    if (json.size() > kHolidayFileMaxBytes)
        return fail("文件太大（超过 " + std::to_string(kHolidayFileMaxBytes / 1024) + " KB）");
    Json doc;
    if (!JsonReader(json).Document(doc) || doc.type != Json::Type::kObject)
        return fail("不是完整的 JSON 对象");
    if (!ValidUtf8(json))
        return fail("不是 UTF-8 文本");
    const Json* yearValue = doc.Member("year");
    if (!yearValue || yearValue->type != Json::Type::kNumber || yearValue->text != y)
        return fail("年份不是 " + y);
    const Json* days = doc.Member("days");
    if (!days || days->type != Json::Type::kArray)
        return fail("缺少日期列表（days）");
    if (days->items.size() > kHolidayFileMaxDays)
        return fail("日期超过 " + std::to_string(kHolidayFileMaxDays) + " 个");
    std::set<std::string> seen;
    for (const Json& item : days->items) {
        if (item.type != Json::Type::kObject)
            return fail("日期列表里有不是对象的一项");
        const Json* name = item.Member("name");
        const Json* date = item.Member("date");
        const Json* off = item.Member("isOffDay");
        if (!date || date->type != Json::Type::kString)
            return fail("有一项缺少日期（date）");
        int dy = 0, dm = 0, dd = 0;
        if (!ParseIsoDate(date->text, dy, dm, dd))
            return fail("日期 “" + Excerpt(date->text, 20) + "” 不是 YYYY-MM-DD");
        if (!(dy == year || (dy == year - 1 && dm == 12)))
            return fail("日期 " + date->text + " 不在 " + y + " 年内");
        if (!seen.insert(date->text).second)
            return fail("日期 " + date->text + " 出现了两次");
        if (!name || name->type != Json::Type::kString || IsBlank(name->text))
            return fail("日期 " + date->text + " 没有名称");
        if (name->text.size() > kMaxNameBytes)
            return fail("日期 " + date->text + " 的名称太长");
        if (!off || off->type != Json::Type::kBool)
            return fail("日期 " + date->text + " 没有说明是否放假（isOffDay）");
        result.days.push_back({dy, dm, dd, off->boolean, name->text});
    }
    return result;
}

std::shared_ptr<const HolidaySchedule> ScheduleWithYears(
    const std::map<int, std::vector<OfficialDay>>& years) {
    std::map<long, OfficialDay> byDate;
    std::set<int> known;
    for (int y = kShippedHolidayFirstYear; y <= kShippedHolidayLastYear; ++y)
        known.insert(y);
    for (std::size_t i = 0; i < kShippedHolidayDayCount; ++i) {
        const ShippedHolidayDay& d = kShippedHolidayDays[i];
        // A December day of the table belongs to the next year's schedule (the 元旦 break).
        const int owner = d.month == 12 ? d.year + 1 : d.year;
        if (years.count(owner) == 0)
            byDate[DaysFromCivil(d.year, d.month, d.day)] = {d.year, d.month, d.day, d.isOffDay,
                                                             d.name};
    }
    for (const auto& [year, days] : years) {
        known.insert(year);
        for (const OfficialDay& d : days)
            if (IsValidDate(d.year, d.month, d.day))
                byDate[DaysFromCivil(d.year, d.month, d.day)] = d;
    }
    std::vector<OfficialDay> all;
    all.reserve(byDate.size());
    for (auto& [key, day] : byDate)
        all.push_back(std::move(day));
    return std::make_shared<const HolidaySchedule>(all, known);
}

std::string HolidayFolderFor(const std::string& databasePath) {
    std::filesystem::path dir = std::filesystem::path(databasePath).parent_path();
    return (dir / "holidays").string() + "/";
}

HolidayFolder ReadHolidayFolder(const std::string& folder) {
    HolidayFolder result;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error)
        return result;  // no folder: nothing published by hand or fetched yet
    std::map<int, std::string> files;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        // Only <year>.json: the temporary files of a save in progress and anything else a
        // user keeps there are left alone.
        if (name.size() != 9 || name.substr(4) != ".json")
            continue;
        int year = 0;
        bool digits = true;
        for (int i = 0; i < 4; ++i) {
            digits = digits && name[i] >= '0' && name[i] <= '9';
            year = year * 10 + (name[i] - '0');
        }
        if (digits)
            files[year] = entry.path().string();
    }
    for (const auto& [year, path] : files) {
        std::error_code sizeError;
        const auto size = std::filesystem::file_size(path, sizeError);
        std::string text;
        if (!sizeError && size <= kHolidayFileMaxBytes) {
            std::ifstream in(path, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof())
                sizeError = std::make_error_code(std::errc::io_error);
        }
        if (sizeError) {
            result.problems.push_back(path + ": 无法读取");
            continue;
        }
        if (size > kHolidayFileMaxBytes) {
            result.problems.push_back(path + ": 文件太大（超过 " +
                                      std::to_string(kHolidayFileMaxBytes / 1024) + " KB）");
            continue;
        }
        HolidayYearData data = ParseHolidayYear(text, year);
        if (data.ok())
            result.years[year] = std::move(data.days);
        else
            result.problems.push_back(path + ": " + data.error);
    }
    return result;
}

std::vector<std::string> LoadHolidayFolder(const std::string& folder) {
    HolidayFolder read = ReadHolidayFolder(folder);
    if (!read.years.empty())
        SetCurrentHolidaySchedule(ScheduleWithYears(read.years));
    return read.problems;
}

std::string HolidayUpdateUrl(int year) {
    const char* custom = std::getenv("ZORVEL_HOLIDAY_URL");
    std::string url = custom && *custom ? custom : kDefaultHolidayUrl;
    const std::string y = std::to_string(year);
    for (std::size_t at = url.find("{year}"); at != std::string::npos;
         at = url.find("{year}", at + y.size()))
        url.replace(at, 6, y);
    return url;
}

std::string DayStatusText(const DayStatus& status) {
    if (status.official && !status.workday && !status.holiday.empty())
        return "今天：" + status.holiday + " 休";
    if (status.official && status.workday)
        return "今天：调休上班";
    return status.workday ? "今天：工作日" : "今天：休息日";
}

}  // namespace zorvel
