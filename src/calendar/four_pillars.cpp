#include "calendar/four_pillars.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ostream>
#include <string_view>

#include "calendar/calendar_names.h"
#include "calendar/calendar_tables.h"
#include "calendar/civil_date.h"

using zorvel::kEarthlyBranches;
using zorvel::kHeavenlyStems;

namespace {

constexpr int kYearCount1900 = 4596;  // chineseYear of lunar 1900

constexpr std::array<std::string_view, 6> kElementNames = {"无", "金", "木", "水", "火", "土"};
// Element (index into kElementNames) of each stem and each branch.
constexpr std::array<int, 10> kStemElements = {2, 2, 4, 4, 5, 5, 1, 1, 3, 3};
constexpr std::array<int, 12> kBranchElements = {3, 5, 2, 2, 5, 4, 4, 5, 1, 1, 5, 3};
// The 纳音 of pairs 2k and 2k + 1 of the cycle.
constexpr std::array<std::string_view, 30> kNayinNames = {
    "海中金", "炉中火", "大林木", "路旁土", "剑锋金", "山头火", "洞下水", "城墙土",
    "白腊金", "杨柳木", "泉中水", "屋上土", "霹雷火", "松柏木", "常流水", "沙中金",
    "山下火", "平地木", "壁上土", "金箔金", "佛灯火", "天河水", "大驿土", "钗钏金",
    "桑柘木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"};

bool InRange(int year) {
    return year >= kEngineCFirstYear && year <= kEngineCLastYear;
}

int WordOf(int yearCount) {
    const int i = std::clamp(yearCount - kYearCount1900, 0, kLunarYearWordsCount - 1);
    return LunarYearWords[i];
}

bool HasLongLeapMonth(int yearCount) {
    const int y = yearCount - kYearCount1900;
    return std::find(std::begin(LongLeapYears), std::end(LongLeapYears), y) !=
           std::end(LongLeapYears);
}

template <int N>
int TermDay(const TermDayRow<N> (&table)[12], int year, int month) {
    if (!InRange(year) || month < 1 || month > 12) {
        return 0;
    }
    const int c = year - 1900;
    const TermDayRow<N>& row = table[month - 1];
    for (int i = 0; i < N; ++i) {
        if (c < row.bounds[i]) {
            return row.days[i][c % 4];
        }
    }
    return 0;
}

}  // namespace

void CFourPillars::Set(int y, int m, int d, int h, int min) {
    year = y;
    month = m;
    day = d;
    hour = h;
    minute = min;
    chineseYear = chineseMonth = chineseDate = dayCycle = sectionalTerm = principleTerm = 0;
    ComputeLunar();
    if (year > 1900 && year <= 2100) {
        sectionalTerm = SectionalTermDay(year, month);
        principleTerm = PrincipleTermDay(year, month);
    }
    Dump();
}

int CFourPillars::ComputeLunar() {
    if (!InRange(year) || !zorvel::IsValidDate(year, month, day) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59) {
        return 0;
    }
    // Two epochs keep the walk short: 1901-01-01 is lunar 1900-11-11, a 己卯 day; 2000-01-01 is
    // lunar 1999-11-25, a 戊午 day.
    int baseYear = 0;
    if (year < 2000) {
        baseYear = 1901;
        chineseYear = kYearCount1900;
        chineseMonth = 11;
        chineseDate = 11;
        dayCycle = 15;
    } else {
        baseYear = 2000;
        chineseYear = kYearCount1900 + 99;
        chineseMonth = 11;
        chineseDate = 25;
        dayCycle = 54;
    }
    const int offset = static_cast<int>(zorvel::DaysFromCivil(year, month, day) -
                                        zorvel::DaysFromCivil(baseYear, 1, 1)) +
                       (hour >= 23 ? 1 : 0);
    chineseDate += offset;
    dayCycle += offset;

    int j = chineseYear;
    int w = WordOf(j);
    int len = (w >> 10) & 1 ? 29 : 30;
    int next = (w >> 12) == 11 ? -11 : 12;
    int current = chineseMonth;
    while (chineseDate > len) {
        if (std::abs(next) < std::abs(current)) {
            // Past month 12: a new lunar year.
            ++j;
            chineseYear = j;
            w = WordOf(j);
        }
        chineseDate -= len;
        chineseMonth = current = next;
        if (next < 0) {
            len = HasLongLeapMonth(j) ? 30 : 29;
        } else {
            len = (w >> (next - 1)) & 1 ? 29 : 30;
        }
        if (next > 0 && (w >> 12) == next) {
            next = -next;
        } else {
            next = std::abs(next) + 1;
            if (next == 13) {
                next = 1;
            }
        }
    }
    return 1;
}

int CFourPillars::SectionalTermDay(int y, int m) {
    return TermDay(SectionalTermTable, y, m);
}

int CFourPillars::PrincipleTermDay(int y, int m) {
    return TermDay(PrincipleTermTable, y, m);
}

int CFourPillars::PillarYear() const {
    if (chineseYear == 0) {
        return 0;
    }
    // February's sectional term is 立春; like the month pillar, the year turns on its day.
    const bool beforeSpring = month == 1 || (month == 2 && day < sectionalTerm);
    return year - (beforeSpring ? 1 : 0) - 1900 + kYearCount1900;
}

int CFourPillars::BuildPillars() {
    const int pillarYear = PillarYear();
    if (pillarYear == 0) {
        pillarText = "---";
        return 0;
    }
    // Cycle index, stem and branch of the year, month, day and hour pillars.
    int k[4];
    int stem[4];
    int branch[4];
    stem[0] = pillarYear % 10;
    branch[0] = pillarYear % 12;
    k[0] = pillarYear % 60;
    // The 寅 month of a 甲 or 己 year is 丙寅, of an 乙 or 庚 year 戊寅, and so on: the year's stem
    // mod 5 picks one of five runs of twelve pairs, which start at 丙寅, 戊寅, 庚寅, 壬寅 and 甲寅.
    const int monthBranch = (month + 9 + (day >= sectionalTerm ? 1 : 0)) % 12;  // 0 = 寅
    k[1] = (monthBranch + (pillarYear % 5) * 12 + 2) % 60;
    k[2] = dayCycle % 60;
    for (int i = 1; i <= 2; ++i) {
        stem[i] = SexagenaryTable[k[i]] >> 4;
        branch[i] = SexagenaryTable[k[i]] & 0x0F;
    }
    const int hourBranch = ((hour + 1) % 24) / 2;  // 23:00-00:59 is 子
    k[3] = (stem[2] % 5) * 12 + hourBranch;
    stem[3] = SexagenaryTable[k[3]] >> 4;
    branch[3] = SexagenaryTable[k[3]] & 0x0F;

    pillarText.clear();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            pillarText += ' ';
        }
        pillarText += kHeavenlyStems[stem[i]];
        pillarText += kEarthlyBranches[branch[i]];
    }

    if (diagnostics != nullptr) {
        std::ostream& out = *diagnostics;
        out << "八字: " << pillarText << '\n' << "五行:";
        for (int i = 0; i < 4; ++i) {
            out << ' ' << kElementNames[kStemElements[stem[i]]]
                << kElementNames[kBranchElements[branch[i]]];
        }
        out << '\n' << "纳音:";
        for (const int cycle : k) {
            out << ' ' << kNayinNames[cycle / 2];
        }
        out << '\n';
    }
    return 1;
}

void CFourPillars::Dump() {
    if (diagnostics != nullptr) {
        std::ostream& out = *diagnostics;
        out << "sun_calendar:" << year << '-' << month << '-' << day << '\n';
        out << "Chinese Year: " << chineseYear << '\n';
        out << "Heavenly Stem: " << kHeavenlyStems[chineseYear % 10] << '\n';
        out << "Earthly Branch: " << kEarthlyBranches[chineseYear % 12] << '\n';
        const int pillarYear = PillarYear();
        out << "Pillar Year: " << pillarYear << ' ' << kHeavenlyStems[pillarYear % 10]
            << kEarthlyBranches[pillarYear % 12] << '\n';
        out << "Chinese Month: " << chineseMonth << '\n';
        out << "Chinese Date: " << chineseDate << '\n';
        out << "Sectional Term: " << sectionalTerm << '\n';
        out << "Principle Term: " << principleTerm << '\n';
    }
    BuildPillars();
}
