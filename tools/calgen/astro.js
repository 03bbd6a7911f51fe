'use strict';
// Solar terms and new moons from the Swiss Ephemeris (its bundled DE431-based files), and the
// Chinese calendar built from them by the present-day rules (GB/T 33661-2017): a month starts on
// the civil day of a new moon, the winter solstice always lies in month 11, and in a solstice
// year of 13 months the first month without a principal term is the leap month.

const sw = require('@swisseph/node');

const FLAGS = sw.CalculationFlag.SwissEphemeris | sw.CalculationFlag.Speed;

function lon(jd, body) {
    return sw.calculatePosition(jd, body, FLAGS).longitude;
}

// Normalise an angle to (-180, 180].
function norm(a) {
    a = a % 360;
    if (a > 180) a -= 360;
    if (a <= -180) a += 360;
    return a;
}

// Instant (Julian day, UT) at which the Sun's apparent longitude is `target`, near `guess`.
function sunAt(target, guess) {
    let jd = guess;
    for (let i = 0; i < 50; i++) {
        const p = sw.calculatePosition(jd, 0, FLAGS);
        const d = norm(target - p.longitude);
        jd += d / p.longitudeSpeed;
        if (Math.abs(d) < 1e-7) break;
    }
    return jd;
}

// Instant of the new moon nearest `guess` (Moon and Sun at the same apparent longitude).
function newMoonNear(guess) {
    let jd = guess;
    for (let i = 0; i < 50; i++) {
        const s = sw.calculatePosition(jd, 0, FLAGS);
        const m = sw.calculatePosition(jd, 1, FLAGS);
        const d = norm(s.longitude - m.longitude);
        jd += d / (m.longitudeSpeed - s.longitudeSpeed);
        if (Math.abs(d) < 1e-7) break;
    }
    return jd;
}

const SYNODIC = 29.530588853;

// All new moons between two Julian days.
function newMoons(jdFrom, jdTo) {
    const out = [];
    // A known new moon: 2000-01-06 18:14 UT.
    const ref = 2451550.26;
    let k = Math.floor((jdFrom - ref) / SYNODIC) - 1;
    for (;; k++) {
        const jd = newMoonNear(ref + k * SYNODIC);
        if (jd < jdFrom) continue;
        if (jd > jdTo) break;
        if (out.length && jd - out[out.length - 1] < 20) continue;
        out.push(jd);
    }
    return out;
}

// All 24 terms between two Julian days: {jd, lon} with lon a multiple of 15.
function solarTerms(jdFrom, jdTo) {
    const out = [];
    // Spring equinox 2000: 2000-03-20 07:35 UT.
    const ref = 2451623.816;
    const step = 365.2422 / 24;
    let k = Math.floor((jdFrom - ref) / step) - 2;
    for (;; k++) {
        const l = ((k % 24) + 24) % 24 * 15;
        const jd = sunAt(l, ref + k * step);
        if (jd < jdFrom) continue;
        if (jd > jdTo) break;
        out.push({jd, lon: l});
    }
    return out;
}

// Julian day number of the civil date on which instant `jd` (UT) falls, at `offsetHours` east.
function civilDay(jd, offsetHours) {
    return Math.floor(jd + 0.5 + offsetHours / 24);
}

function jdnToYmd(jdn) {
    // Richards' algorithm for the Gregorian calendar.
    const f = jdn + 1401 + Math.floor((Math.floor((4 * jdn + 274277) / 146097) * 3) / 4) - 38;
    const e = 4 * f + 3;
    const g = Math.floor((e % 1461) / 4);
    const h = 5 * g + 2;
    const day = Math.floor((h % 153) / 5) + 1;
    const month = ((Math.floor(h / 153) + 2) % 12) + 1;
    const year = Math.floor(e / 1461) - 4716 + Math.floor((12 + 2 - month) / 12);
    return [year, month, day];
}

function ymdToJdn(y, m, d) {
    const a = Math.floor((14 - m) / 12);
    const yy = y + 4800 - a;
    const mm = m + 12 * a - 3;
    return d + Math.floor((153 * mm + 2) / 5) + 365 * yy + Math.floor(yy / 4) -
           Math.floor(yy / 100) + Math.floor(yy / 400) - 32045;
}

// Builds the calendar for lunar years fromYear..toYear, dating each event at the given offset east
// of Greenwich (hours, or a function of the instant, a Julian day in UT, giving hours). Returns
// {months, terms, moons} where months is a list of {year, month, leap, start (JDN), length}, terms
// a list of {jdn, lon, jd} and moons a list of {jd, jdn}.
function buildCalendar(fromYear, toYear, offset) {
    const off = typeof offset === 'function' ? offset : () => offset;
    const dayOf = (jd) => civilDay(jd, off(jd));
    const jdFrom = ymdToJdn(fromYear - 1, 10, 1);
    const jdTo = ymdToJdn(toYear + 1, 4, 1);
    const moonJds = newMoons(jdFrom, jdTo);
    const termList = solarTerms(jdFrom, jdTo).map((t) => ({...t, jdn: dayOf(t.jd)}));
    const moons = moonJds.map((jd) => ({jd, jdn: dayOf(jd)}));
    const principal = termList.filter((t) => t.lon % 30 === 0);
    const solstices = termList.filter((t) => t.lon === 270);

    // Index of the month (by its new moon) that contains day jdn.
    const monthIndexOf = (jdn) => {
        let i = moons.length - 1;
        while (moons[i].jdn > jdn) i--;
        return i;
    };
    const hasPrincipal = (i) =>
        principal.some((t) => t.jdn >= moons[i].jdn && t.jdn < moons[i + 1].jdn);

    // Number every month between consecutive month-11s.
    const numbering = new Map();  // moon index -> {month, leap}
    for (let s = 0; s + 1 < solstices.length; s++) {
        const a = monthIndexOf(solstices[s].jdn);
        const b = monthIndexOf(solstices[s + 1].jdn);
        const leapYear = b - a === 13;
        let leapFound = false;
        let num = 11;
        numbering.set(a, {month: 11, leap: false});
        for (let i = a + 1; i < b; i++) {
            if (leapYear && !leapFound && !hasPrincipal(i)) {
                leapFound = true;
                numbering.set(i, {month: num, leap: true});
                continue;
            }
            num = num % 12 + 1;
            numbering.set(i, {month: num, leap: false});
        }
        if (leapYear && !leapFound) throw new Error('no leap month found');
    }

    // Attach lunar years: month 1 starts a new year.
    const months = [];
    let year = null;
    const idx = [...numbering.keys()].sort((x, y) => x - y);
    for (const i of idx) {
        const n = numbering.get(i);
        if (n.month === 1 && !n.leap) year = jdnToYmd(moons[i].jdn)[0];
        if (year === null) year = jdnToYmd(moons[i].jdn)[0] - 1;  // months 11 and 12 before the first new year
        if (i + 1 >= moons.length) break;
        months.push({
            year, month: n.month, leap: n.leap, start: moons[i].jdn,
            length: moons[i + 1].jdn - moons[i].jdn, moonJd: moons[i].jd,
        });
    }
    return {months, terms: termList, moons};
}

module.exports = {buildCalendar, jdnToYmd, ymdToJdn, civilDay};
