#!/usr/bin/env node
// Development-time tool: derives the lunar year codes of src/lunar/lunaryearcodes.h and the
// test fixture tests/lunar/lunar-month-starts.txt from the npm package lunar-javascript
// (MIT; its calendar is computed astronomically: new moons and solar terms at Beijing time,
// UTC+8, by the ShouXing algorithms, following today's official rules).
//
// It is no build, run-time or test dependency. Install the package into a scratch folder:
//   mkdir -p /tmp/lunarjs && cd /tmp/lunarjs && npm install lunar-javascript
// then, from the repository root:
//   node tools/lunar-table.mjs --lib /tmp/lunarjs/node_modules/lunar-javascript --quiet \
//       --codes src/lunar/lunaryearcodes.h --fixture tests/lunar/lunar-month-starts.txt
// or, to compare the committed header with a fresh derivation without writing anything:
//   node tools/lunar-table.mjs --quiet --check src/lunar/lunaryearcodes.h
//
// What it does:
//   1. For every lunar year 1900..2100 it builds the code in the LunarYearCode encoding
//      (12 months: bits 11..0 = months 1..12; 13 months: bits 12..0 in order of occurrence,
//      the repeated month number L in bits 16 and up; a set bit = 30 days).
//   2. It compares the codes of 1921..2020 with the original 100 codes (below) and
//      reports every disagreement; it never changes the original codes.
//   3. It prints the 201 codes as C++ rows (the original 100 kept as they are);
//      --codes FILE writes them as the header src/lunar/lunaryearcodes.h.
//   4. --check FILE: compares every 0x... code found in FILE, in order, with the table.
//   5. --fixture FILE: writes the Gregorian first day of every lunar month 1900..2100 with its
//      lunar year, month number and leap flag, and the first day after the range.

import { createRequire } from 'node:module';
import { readFileSync, writeFileSync } from 'node:fs';

const args = process.argv.slice(2);
const opt = (name) => {
    const i = args.indexOf(name);
    return i >= 0 ? args[i + 1] : undefined;
};
const libDir = opt('--lib') ?? '/tmp/lunarjs/node_modules/lunar-javascript';
const require = createRequire(import.meta.url);
const { LunarYear, Solar } = require(libDir);
const libVersion = JSON.parse(readFileSync(`${libDir}/package.json`, 'utf8')).version;

const FIRST = 1900;
const LAST = 2100;

// The original table, entry i for lunar year 1921 + i; kept exactly as given.
const SPEC_CODES = [
    0xA4B, 0x5164B, 0x6A5, 0x6D4, 0x415B5, 0x2B6, 0x957, 0x2092F, 0x497, 0x60C96,
    0xD4A, 0xEA5, 0x50DA9, 0x5AD, 0x2B6, 0x3126E, 0x92E, 0x7192D, 0xC95, 0xD4A,
    0x61B4A, 0xB55, 0x56A, 0x4155B, 0x25D, 0x92D, 0x2192B, 0xA95, 0x71695, 0x6CA,
    0xB55, 0x50AB5, 0x4DA, 0xA5B, 0x30A57, 0x52B, 0x8152A, 0xE95, 0x6AA, 0x615AA,
    0xAB5, 0x4B6, 0x414AE, 0xA57, 0x526, 0x31D26, 0xD95, 0x70B55, 0x56A, 0x96D,
    0x5095D, 0x4AD, 0xA4D, 0x41A4D, 0xD25, 0x81AA5, 0xB54, 0xB6A, 0x612DA, 0x95B,
    0x49B, 0x41497, 0xA4B, 0xA164B, 0x6A5, 0x6D4, 0x615B4, 0xAB6, 0x957, 0x5092F,
    0x497, 0x64B, 0x30D4A, 0xEA5, 0x80D65, 0x5AC, 0xAB6, 0x5126D, 0x92E, 0xC96,
    0x41A95, 0xD4A, 0xDA5, 0x20B55, 0x56A, 0x7155B, 0x25D, 0x92D, 0x5192B, 0xA95,
    0xB4A, 0x416AA, 0xAD5, 0x90AB5, 0x4BA, 0xA5B, 0x60A57, 0x52B, 0xA93, 0x40E95,
];

const hex = (c) => '0x' + c.toString(16).toUpperCase();
const ymd = (jd) => Solar.fromJulianDay(jd).toYmd();

// The months of each lunar year, in order of occurrence.
const years = [];
for (let y = FIRST; y <= LAST; y++) {
    const months = LunarYear.fromYear(y).getMonthsInYear().map((m) => ({
        year: m.getYear(),
        month: m.getMonth(), // negative for a leap month
        days: m.getDayCount(),
        first: m.getFirstJulianDay(),
    }));
    for (const m of months) {
        if (m.year !== y || (m.days !== 29 && m.days !== 30)) {
            throw new Error(`unexpected month ${JSON.stringify(m)} in lunar year ${y}`);
        }
    }
    years.push({ year: y, months });
}

// Months must follow one another without gaps from 1900-01-31 to 2101-01-28.
for (let i = 1; i < years.length; i++) {
    const prev = years[i - 1].months.at(-1);
    if (prev.first + prev.days !== years[i].months[0].first) {
        throw new Error(`gap between lunar years ${years[i - 1].year} and ${years[i].year}`);
    }
}

function encode({ year, months }) {
    const leaps = months.filter((m) => m.month < 0);
    if (months.length === 12 && leaps.length === 0) {
        months.forEach((m, i) => {
            if (m.month !== i + 1) throw new Error(`lunar ${year}: month order`);
        });
        const code = months.reduce((c, m, i) => c | ((m.days === 30 ? 1 : 0) << (11 - i)), 0);
        if (code >= 0xfff) throw new Error(`lunar ${year}: 12-month code ${hex(code)} >= 0xFFF`);
        return code;
    }
    if (months.length === 13 && leaps.length === 1) {
        const L = -leaps[0].month;
        if (months[L].month !== -L) throw new Error(`lunar ${year}: leap month not at L+1`);
        const bits = months.reduce((c, m, i) => c | ((m.days === 30 ? 1 : 0) << (12 - i)), 0);
        return L * 65536 + bits;
    }
    throw new Error(`lunar ${year}: ${months.length} months, ${leaps.length} leap`);
}

const derived = years.map(encode);

// Cross-check with the original 100 codes.
const disagreements = [];
SPEC_CODES.forEach((code, i) => {
    const y = 1921 + i;
    const mine = derived[y - FIRST];
    if (mine !== code) disagreements.push(`lunar ${y}: original ${hex(code)}, derived ${hex(mine)}`);
});
if (disagreements.length) {
    console.error(`DISAGREEMENT with the original codes (${disagreements.length}):`);
    disagreements.forEach((d) => console.error('  ' + d));
} else {
    console.error("cross-check: the derived codes reproduce all 100 of the original codes (1921-2020)");
}

// The table as used: original codes for 1921..2020, derived codes elsewhere.
const table = derived.map((c, i) => {
    const y = FIRST + i;
    return y >= 1921 && y <= 2020 ? SPEC_CODES[y - 1921] : c;
});

const CODES_HEAD = `#pragma once

// The lunar year codes, one per lunar year 1900..2100 (entry i is lunar year 1900 + i), in the
// LunarYearCode encoding:
//   code < 0xFFF: 12 months; bits 11..0 are months 1..12, a set bit is a month of 30 days,
//                 a clear bit 29 days.
//   code >= 0xFFF: 13 months; bits 12..0 are the months in order of occurrence, and
//                 L = code / 65536 is the month that is repeated: the (L + 1)-th month is the
//                 leap month and carries the number L again.
//
// 1921..2020 are the original 100 codes, exactly as given. 1900..1920 and 2021..2100 follow the
// modern astronomical calendar (new moons and solar terms at Beijing time, UTC+8), derived by
// tools/lunar-table.mjs from the npm package lunar-javascript 1.7.7; that script also checks
// that its derivation reproduces the original 100 codes and that this file holds its table
// (\`--check src/lunar/lunaryearcodes.h\`). Do not edit by hand.

#include <array>
#include <cstdint>

using LunarYearCode = std::uint32_t;

// Ten codes a line, as in the original table.
// clang-format off
inline constexpr std::array<LunarYearCode, 201> kLunarYearCodes{
`;
const CODES_TAIL = `};
// clang-format on
`;

// C++ rows, ten a line; the rows break at 1921 and 2021 so the original block stands alone.
let out = '';
for (let y = FIRST; y <= LAST; ) {
    const stop = y < 1921 ? Math.min(y + 9, 1920) : y < 2021 ? Math.min(y + 9, 2020) : Math.min(y + 9, LAST);
    const items = [];
    for (let k = y; k <= stop; k++) items.push(hex(table[k - FIRST]));
    const label = y === stop ? `${y}` : `${y}-${stop}`;
    out += `    /* ${label} */ ${items.join(', ')},\n`;
    y = stop + 1;
}
if (!args.includes('--quiet')) process.stdout.write(out);

const codesFile = opt('--codes');
if (codesFile) {
    writeFileSync(codesFile, CODES_HEAD + out + CODES_TAIL);
    console.error(`wrote ${codesFile}`);
}

const checkFile = opt('--check');
if (checkFile) {
    const src = readFileSync(checkFile, 'utf8').replace(/\/\*[\s\S]*?\*\/|\/\/.*$/gm, '');
    const found = [...src.matchAll(/0x[0-9A-Fa-f]+/g)].map((m) => parseInt(m[0], 16));
    let bad = found.length !== table.length ? [`${found.length} codes in file, expected ${table.length}`] : [];
    found.forEach((c, i) => {
        if (c !== table[i]) bad.push(`lunar ${FIRST + i}: file ${hex(c)}, expected ${hex(table[i])}`);
    });
    if (bad.length) {
        console.error(`--check ${checkFile}: MISMATCH`);
        bad.forEach((b) => console.error('  ' + b));
        process.exitCode = 1;
    } else {
        console.error(`--check ${checkFile}: all ${table.length} codes agree`);
    }
}

const fixtureFile = opt('--fixture');
if (fixtureFile) {
    let text =
        `# First day of every lunar month, lunar years ${FIRST}-${LAST}.\n` +
        `# Source: lunar-javascript ${libVersion} (astronomical: new moons and solar terms at\n` +
        `# Beijing time), written by tools/lunar-table.mjs. Independent of the original table.\n` +
        '# Columns: gregorian-date lunar-year month leap(1 = leap month, month repeats that number)\n' +
        '# The last line, "end", is the first day after the covered range.\n';
    for (const { months } of years) {
        for (const m of months) {
            text += `${ymd(m.first)} ${m.year} ${Math.abs(m.month)} ${m.month < 0 ? 1 : 0}\n`;
        }
    }
    const last = years.at(-1).months.at(-1);
    text += `${ymd(last.first + last.days)} end\n`;
    writeFileSync(fixtureFile, text);
    console.error(`wrote ${fixtureFile}`);
}

if (disagreements.length) process.exitCode = 2;
