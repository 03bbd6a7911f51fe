#!/usr/bin/env node
// Generates src/calendar/holiday_tables.cpp: the official days off and adjusted working days of
// mainland China, from the npm package chinese-days, cross-checked day by day with
// holiday-calendar and chinese-workday.
//
//   npm ci && node holidays.mjs [--out PATH]
//
// It refuses to write when the data fails a sanity check, or when a reference package gives a
// day another status and reviewed.json does not record which status stands and why.

import fs from 'node:fs';
import path from 'node:path';
import {createRequire} from 'node:module';
import {execFileSync} from 'node:child_process';
import {fileURLToPath} from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(import.meta.url);
const args = process.argv.slice(2);
const outIndex = args.indexOf('--out');
const outPath = outIndex >= 0 ? args[outIndex + 1]
                              : path.join(here, '../../src/calendar/holiday_tables.cpp');

const FIRST_YEAR = 2007;
const modules = path.join(here, 'node_modules');
const pkgVersion = (name) =>
    JSON.parse(fs.readFileSync(path.join(modules, name, 'package.json'), 'utf8')).version;
const failures = [];
const fail = (msg) => failures.push(msg);

// ---------------------------------------------------------------------------------------------
// Dates as plain strings, weekdays computed in UTC so the local zone cannot shift them.

const pad = (n) => String(n).padStart(2, '0');
const iso = (y, m, d) => `${y}-${pad(m)}-${pad(d)}`;
const weekday = (date) => new Date(`${date}T00:00:00Z`).getUTCDay();  // 0 = Sunday
const isWeekend = (date) => weekday(date) === 0 || weekday(date) === 6;
function* daysOf(year) {
    for (let t = Date.UTC(year, 0, 1); t < Date.UTC(year + 1, 0, 1); t += 86400000)
        yield new Date(t).toISOString().slice(0, 10);
}

// ---------------------------------------------------------------------------------------------
// The source: chinese-days. Its entries read "English,中文,length"; the short names of three
// festivals become the names the notices use, and the one-off 2015 memorial day gets a name that
// fits one line.

const NAMES = {
    '清明': '清明节',
    '端午': '端午节',
    '中秋': '中秋节',
    '中国人民抗日战争暨世界反法西斯战争胜利70周年纪念日': '抗战胜利纪念日',
};
const source = require('chinese-days/dist/chinese-days.json');
const nameOf = (entry) => {
    const cn = entry.split(',')[1];
    return NAMES[cn] || cn;
};
// The schedule a date belongs to: a 元旦 day in December is the next year's.
const scheduleYear = (date, name) =>
    Number(date.slice(0, 4)) + (date.slice(5, 7) === '12' && name === '元旦' ? 1 : 0);

const days = new Map();  // date -> {off, name, year}
for (const [key, off] of [['holidays', true], ['workdays', false]]) {
    for (const [date, entry] of Object.entries(source[key])) {
        const name = nameOf(entry);
        const year = scheduleYear(date, name);
        if (year < FIRST_YEAR) continue;
        if (days.has(date)) fail(`${date} is both a day off and a working day`);
        days.set(date, {off, name, year});
    }
}
const years = [...new Set([...days.values()].map((d) => d.year))].sort((a, b) => a - b);
const LAST_YEAR = years[years.length - 1];
for (let y = FIRST_YEAR; y <= LAST_YEAR; y++) {
    const of = [...days.values()].filter((d) => d.year === y);
    if (!of.some((d) => d.off && d.name === '春节')) fail(`${y} has no 春节 day off`);
    if (!of.some((d) => d.off && d.name === '国庆节')) fail(`${y} has no 国庆节 day off`);
}
for (const [date, d] of days) {
    if (!d.off && !isWeekend(date)) fail(`adjusted working day ${date} is not a Saturday or Sunday`);
    if (!d.name) fail(`${date} has no name`);
}

// A day's status: 'off' (official day off), 'work' (adjusted working day) or '' (ordinary).
const statusOf = (date) => (days.has(date) ? (days.get(date).off ? 'off' : 'work') : '');
const isWorkday = (date) => (days.has(date) ? !days.get(date).off : !isWeekend(date));

// ---------------------------------------------------------------------------------------------
// The references. holiday-calendar lists days off and adjusted working days per year;
// chinese-workday answers only whether a day is a working day.

const reviewed = new Map(
    JSON.parse(fs.readFileSync(path.join(here, 'reviewed.json'), 'utf8')).map((r) => [r.date, r]));
const disagreements = [];

const calendarStatus = new Map();
for (let y = FIRST_YEAR; y <= 2026; y++) {
    const file = require(`holiday-calendar/data/CN/${y}.json`);
    for (const e of file.dates)
        calendarStatus.set(e.date, e.type === 'public_holiday' ? 'off'
                                   : e.type === 'transfer_workday' ? 'work' : `?${e.type}`);
}
// Both sources list a day off that falls on a weekend or not as they please; what must agree is
// whether one works, and an adjusted working day must be one in both.
for (let y = FIRST_YEAR; y <= 2026; y++) {
    for (const date of daysOf(y)) {
        const theirs = calendarStatus.get(date) || '';
        const ours = statusOf(date);
        const theirWork = theirs === 'work' || (theirs === '' && !isWeekend(date));
        if (theirWork !== isWorkday(date) || (theirs === 'work') !== (ours === 'work'))
            disagreements.push({date, package: 'holiday-calendar', theirs: theirs || 'ordinary',
                                ours: ours || 'ordinary'});
    }
}

// Its ESM build, by path: the package's export map hides the file.
const workday =
    await import(path.join(modules, 'chinese-workday/dist/chinese-workday.esm.js'));
for (let y = 2011; y <= 2026; y++) {
    for (const date of daysOf(y)) {
        const theirWork = workday.isWorkday(date);
        if (theirWork !== isWorkday(date))
            disagreements.push({date, package: 'chinese-workday', theirs: theirWork ? 'work' : 'off',
                                ours: statusOf(date) || 'ordinary'});
    }
}

for (const d of disagreements) {
    const r = reviewed.get(d.date);
    if (!r) {
        fail(`${d.date} (${['日', '一', '二', '三', '四', '五', '六'][weekday(d.date)]}): ` +
             `${d.package} says ${d.theirs}, chinese-days says ${d.ours}; not in reviewed.json`);
    } else if (r.kept !== d.ours) {
        fail(`${d.date}: reviewed.json keeps ${r.kept} but chinese-days now says ${d.ours}`);
    } else if (!r.notice) {
        fail(`${d.date}: reviewed.json names no notice`);
    }
}
const seen = new Set(disagreements.map((d) => d.date));
for (const date of reviewed.keys())
    if (!seen.has(date)) fail(`reviewed.json lists ${date}, where the packages now agree`);

if (failures.length) {
    for (const f of failures) console.error(f);
    console.error(`${failures.length} problem(s); ${outPath} not written`);
    process.exit(1);
}

// ---------------------------------------------------------------------------------------------
// The table.

const sorted = [...days.entries()].sort(([a], [b]) => (a < b ? -1 : 1));
const lines = sorted.map(([date, d]) => {
    const [y, m, dd] = date.split('-').map(Number);
    return `    {${y}, ${m}, ${dd}, ${d.off}, "${d.name}"},`;
});
const out = `// Generated by tools/holidays/holidays.mjs; do not edit by hand.
//
// The official days off and adjusted working days (调休上班) of mainland China for the years
// ${FIRST_YEAR}-${LAST_YEAR}, as the State Council's yearly notices set them, from the npm package
// chinese-days ${pkgVersion('chinese-days')} (MIT licence, see the README). Every day was compared with
// holiday-calendar ${pkgVersion('holiday-calendar')} and chinese-workday ${pkgVersion('chinese-workday')}; tools/holidays/reviewed.json
// lists where they differ and which notice decides.

#include "calendar/holiday_tables.h"

namespace zorvel {

const int kShippedHolidayFirstYear = ${FIRST_YEAR};
const int kShippedHolidayLastYear = ${LAST_YEAR};

const ShippedHolidayDay kShippedHolidayDays[] = {
${lines.join('\n')}
};

const std::size_t kShippedHolidayDayCount = sizeof(kShippedHolidayDays) / sizeof(kShippedHolidayDays[0]);

}  // namespace zorvel
`;
fs.writeFileSync(outPath, out);
try {
    execFileSync('clang-format', ['-i', outPath], {cwd: path.join(here, '../..')});
} catch (e) {
    console.error(`clang-format failed (${e.message}); the table is written unformatted`);
}
console.log(`${outPath}: ${sorted.length} days, ${FIRST_YEAR}-${LAST_YEAR}; ` +
            `${disagreements.length} reviewed disagreement(s)`);
