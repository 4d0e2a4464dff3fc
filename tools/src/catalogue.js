'use strict';
// The city catalogue and the first-run choice of zandreth.ini.
//
// Record 0 is the UTC entry; then one record for every zone of the tz
// database's zone.tab, named from CLDR, with the zone's standard offset and
// the position of its principal city, ordered from west to east by offset
// and then by English city name.

const { readZoneTab } = require('./zone-tab');
const { standardOffset, lesserOffset, zoneRule } = require('./tzif');
const { namesOf } = require('./cldr-names');

// The year whose tz rules give the offsets: fixed, so that a run at any
// date writes the same file.
const kOffsetYear = 2026;

// Zones whose tz standard time is their summer time, with a negative
// daylight saving in winter. The program shows one offset all year, and a
// clock without daylight saving is expected to read like its neighbours'
// standard time: Dublin like London (GMT), as time-zone lists show it. These
// take the lesser offset of the year. (Casablanca's negative saving lasts only
// the weeks around Ramadan, so its standard time stays.)
const kWinterOffsetZones = new Set(['Europe/Dublin']);

// The key of a record's rule: this stem and the record number.
const kRuleKeyStem = 'CODE_TZ_';

// The loader reads a record into a 256-byte buffer: 255 bytes of text.
const kMaxValueBytes = 255;

// The UTC entry sits where the prime meridian meets the equator, in the
// Gulf of Guinea: on the meridian it stands for, and at sea, so its label
// covers no city.
const kUtcRecord = {
  zone: 'UTC',
  countryJa: 'UTC',
  cityJa: 'UTC',
  countryEn: 'UTC',
  cityEn: 'UTC',
  offset: 0,
  longitude: 0,
  latitude: 0,
};

// The first-run choice: ten cities spread over the map and over the
// inhabited continents, from west to east; Tokyo is the home city, and
// Tokyo and London blink.
const kHomeZone = 'Asia/Tokyo';
const kFirstRunRows = [
  { zone: 'Pacific/Honolulu', blink: false },
  { zone: 'America/Los_Angeles', blink: false },
  { zone: 'America/New_York', blink: false },
  { zone: 'America/Sao_Paulo', blink: false },
  { zone: 'Europe/London', blink: true },
  { zone: 'Africa/Cairo', blink: false },
  { zone: 'Asia/Dubai', blink: false },
  { zone: 'Asia/Singapore', blink: false },
  { zone: 'Asia/Tokyo', blink: true },
  { zone: 'Australia/Sydney', blink: false },
];
const kRelocationSeconds = 60;
const kBlinkSeconds = 1;
const kTrue = -1;
const kFalse = 0;

// A comma would split the field: CLDR writes some cities as "Knox, Indiana";
// the state goes into brackets instead.
function withoutCommas(name) {
  const parts = name.split(',').map((part) => part.trim()).filter((part) => part !== '');
  return parts.length > 1 ? `${parts[0]} (${parts.slice(1).join(' ')})` : parts.join('');
}

const collator = new Intl.Collator('en', { sensitivity: 'variant' });
function compareRecords(a, b) {
  if (a.offset !== b.offset) return a.offset - b.offset;
  const byName = collator.compare(a.cityEn, b.cityEn);
  if (byName !== 0) return byName;
  return a.zone < b.zone ? -1 : a.zone > b.zone ? 1 : 0;
}

// Two decimals, without a "-0.00" for values that round to zero.
function degrees(value) {
  const text = value.toFixed(2);
  return text === '-0.00' ? '0.00' : text;
}

function recordValue(record) {
  return [
    record.countryJa,
    record.cityJa,
    record.countryEn,
    record.cityEn,
    String(record.offset),
    degrees(record.longitude),
    degrees(-record.latitude), // the map's vertical axis points south
  ].join(',');
}

function checkRecord(record, value) {
  for (const field of ['countryJa', 'cityJa', 'countryEn', 'cityEn']) {
    const name = record[field];
    if (name === '' || name.includes(',') || name !== name.trim() || /[\r\n]/.test(name)) {
      throw new Error(`${record.zone}: unusable ${field} "${name}"`);
    }
  }
  const bytes = Buffer.byteLength(value, 'utf8');
  if (bytes > kMaxValueBytes) throw new Error(`${record.zone}: record of ${bytes} bytes`);
}

// A TZ string of printable ASCII without blanks, read into the same buffer
// as the records.
function checkRule(record) {
  if (!/^[\x21-\x7e]+$/.test(record.rule) || record.rule.length > kMaxValueBytes) {
    throw new Error(`${record.zone}: unusable TZ string "${record.rule}"`);
  }
}

// English city names that two zones share get their country added, so that
// every city can be told apart in the lists. Returns the names changed.
function disambiguate(records) {
  const byName = new Map();
  for (const record of records) {
    if (!byName.has(record.cityEn)) byName.set(record.cityEn, []);
    byName.get(record.cityEn).push(record);
  }
  const resolved = [];
  for (const [name, sharing] of byName) {
    if (sharing.length < 2) continue;
    for (const record of sharing) {
      record.cityEn = `${name} (${record.countryEn})`;
      if (record.cityJa === name) record.cityJa = record.cityEn;
    }
    resolved.push({ name, zones: sharing.map((record) => record.zone) });
  }
  const seen = new Set();
  for (const record of records) {
    if (seen.has(record.cityEn)) throw new Error(`two records are both named "${record.cityEn}"`);
    seen.add(record.cityEn);
  }
  return resolved;
}

// Returns { sections, records, report } ready for formatIni().
function buildCatalogue() {
  const report = { commasReplaced: [], englishFromZoneId: 0, japaneseFromEnglish: [], duplicates: [], rulesWithDaylightSaving: 0 };
  const zoneRecords = readZoneTab().map((entry) => {
    const names = namesOf(entry.country, entry.zone);
    const record = {
      zone: entry.zone,
      countryJa: withoutCommas(names.countryJa),
      cityJa: withoutCommas(names.cityJa),
      countryEn: withoutCommas(names.countryEn),
      cityEn: withoutCommas(names.cityEn),
      offset: kWinterOffsetZones.has(entry.zone)
        ? lesserOffset(entry.zone, kOffsetYear)
        : standardOffset(entry.zone, kOffsetYear),
      longitude: entry.longitude,
      latitude: entry.latitude,
      rule: zoneRule(entry.zone),
    };
    for (const field of ['countryJa', 'cityJa', 'countryEn', 'cityEn']) {
      const original = names[field];
      if (original !== record[field]) report.commasReplaced.push(`${original} -> ${record[field]}`);
    }
    if (names.sources.en !== 'cldr') report.englishFromZoneId++;
    if (names.sources.ja !== 'cldr') report.japaneseFromEnglish.push(entry.zone);
    return record;
  });

  const utc = { ...kUtcRecord, rule: zoneRule(kUtcRecord.zone) };
  report.duplicates = disambiguate([utc, ...zoneRecords]);
  zoneRecords.sort(compareRecords);
  const records = [utc, ...zoneRecords];

  const mapInfo = [['NUMBER_OF_CITY', records.length - 1]];
  records.forEach((record, number) => {
    const value = recordValue(record);
    checkRecord(record, value);
    mapInfo.push([`CODE_${number}`, value]);
    checkRule(record);
    mapInfo.push([`${kRuleKeyStem}${number}`, record.rule]);
  });
  report.rulesWithDaylightSaving = records.filter((record) => record.rule.includes(',')).length;

  const numberOf = (zone) => {
    const number = records.findIndex((record) => record.zone === zone);
    if (number < 0) throw new Error(`no record for ${zone}`);
    return number;
  };
  const selectCity = [['TimeZone', numberOf(kHomeZone)]];
  kFirstRunRows.forEach((row, i) => {
    selectCity.push([`City_SelectNo${i}`, numberOf(row.zone)], [`City_MarkNo${i}`, row.blink ? 1 : 0]);
  });

  // Japanese city names: language option 0 (Japanese) and name-kind option 1
  // (city) chosen.
  const procInfo = [
    ['RND_INTERVAL', kRelocationSeconds],
    ['MARK_INTERVAL', kBlinkSeconds],
    ['Lang_Select0', kTrue],
    ['Print_Name0', kFalse],
    ['Lang_Select1', kFalse],
    ['Print_Name1', kTrue],
  ];

  const sections = [
    ['MAP_INFO', mapInfo],
    ['SELECT_CITY', selectCity],
    ['PROC_INFO', procInfo],
  ];
  return { sections, records, report };
}

module.exports = { buildCatalogue, withoutCommas, kOffsetYear };
