'use strict';
// Reader for compiled tz data (TZif files, RFC 8536) and the standard
// offset of a zone.
//
// "Standard" is what the tz data itself calls standard time: the local time
// types whose isdst flag is 0. For almost every zone that is the winter
// offset. Two kinds of zone differ from "the lesser of winter and summer":
// - Europe/Dublin: Irish law makes summer time (IST, UTC+1) the standard
//   time and winter (GMT) the seasonal shift, and the tz data says so with a
//   negative daylight saving in winter; its standard offset is +1 hour. The
//   catalogue takes its winter offset instead (see catalogue.js).
// - Africa/Casablanca and Africa/El_Aaiun: UTC+1 all year except about a
//   month around Ramadan, which the tz data gives as a negative daylight
//   saving to UTC+0; their standard offset is +1 hour.

const fs = require('fs');
const path = require('path');

const kZoneInfo = '/usr/share/zoneinfo';

function readTzif(buffer) {
  if (buffer.toString('latin1', 0, 4) !== 'TZif') throw new Error('not a TZif file');
  const version = buffer[4];
  let at = 0;

  function readHeader() {
    const counts = [];
    for (let i = 0; i < 6; i++) counts.push(buffer.readUInt32BE(at + 20 + i * 4));
    at += 44;
    const [isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt] = counts;
    return { isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt };
  }

  function readBody(header, timeSize) {
    const times = [];
    for (let i = 0; i < header.timecnt; i++) {
      times.push(timeSize === 8 ? Number(buffer.readBigInt64BE(at + i * 8)) : buffer.readInt32BE(at + i * 4));
    }
    at += header.timecnt * timeSize;
    const typeOfTransition = [...buffer.subarray(at, at + header.timecnt)];
    at += header.timecnt;
    const types = [];
    for (let i = 0; i < header.typecnt; i++) {
      types.push({ offset: buffer.readInt32BE(at), isDst: buffer[at + 4] !== 0, abbreviationIndex: buffer[at + 5] });
      at += 6;
    }
    const abbreviations = buffer.toString('latin1', at, at + header.charcnt);
    at += header.charcnt;
    at += header.leapcnt * (timeSize + 4) + header.isstdcnt + header.isutcnt;
    for (const type of types) {
      type.abbreviation = abbreviations.slice(type.abbreviationIndex, abbreviations.indexOf('\0', type.abbreviationIndex));
    }
    return { times, typeOfTransition, types };
  }

  const firstHeader = readHeader();
  let body = readBody(firstHeader, 4);
  let footer = '';
  if (version >= 0x32) {
    // Version 2 and later repeat the data with 64-bit times, then a POSIX
    // TZ string for the times after the last transition.
    const secondHeader = readHeader();
    body = readBody(secondHeader, 8);
    const end = buffer.indexOf(0x0a, at + 1);
    footer = buffer.toString('latin1', at + 1, end);
  }
  return { ...body, footer };
}

// The standard offset (seconds east of UTC) in the first part of a POSIX TZ
// string such as "CET-1CEST,M3.5.0,M10.5.0/3" or "<+0545>-5:45". POSIX counts
// west positive, so the sign is turned round.
function footerStandardOffset(footer) {
  const match = /^(?:<[^>]*>|[A-Za-z]+)([+-]?)(\d{1,3})(?::(\d{2}))?(?::(\d{2}))?/.exec(footer);
  if (!match) return null;
  const seconds = Number(match[2]) * 3600 + Number(match[3] || 0) * 60 + Number(match[4] || 0);
  return match[1] === '-' ? seconds : -seconds;
}

// The standard offset in force during the given year: of the local time
// types in force in it (the one current when it begins, then one for each
// transition inside it), the last with isdst 0. Past the table's last
// transition the footer's rule is in force and gives its standard part.
function standardOffsetInYear(tzif, year) {
  const yearStart = Date.UTC(year, 0, 1) / 1000;
  const yearEnd = Date.UTC(year + 1, 0, 1) / 1000;
  const { times, typeOfTransition, types } = tzif;
  const footerOffset = tzif.footer ? footerStandardOffset(tzif.footer) : null;

  let next = 0;
  while (next < times.length && times[next] <= yearStart) next++;
  if (next === times.length && footerOffset !== null) return footerOffset;

  // Before the first transition the first type is in force.
  const inForce = [next === 0 ? types[0] : types[typeOfTransition[next - 1]]];
  for (; next < times.length && times[next] < yearEnd; next++) inForce.push(types[typeOfTransition[next]]);
  const standard = inForce.filter((type) => !type.isDst).map((type) => type.offset);
  if (next === times.length && footerOffset !== null) standard.push(footerOffset);
  if (standard.length) return standard[standard.length - 1];
  if (footerOffset !== null) return footerOffset;
  throw new Error('no standard time found');
}

// The least offset of the local time types in force during the year,
// daylight saving included (the footer's rule counts with both its parts).
function lesserOffsetInYear(tzif, year) {
  const yearStart = Date.UTC(year, 0, 1) / 1000;
  const yearEnd = Date.UTC(year + 1, 0, 1) / 1000;
  const { times, typeOfTransition, types } = tzif;
  let next = 0;
  while (next < times.length && times[next] <= yearStart) next++;
  const offsets = [next === 0 ? types[0].offset : types[typeOfTransition[next - 1]].offset];
  for (; next < times.length && times[next] < yearEnd; next++) offsets.push(types[typeOfTransition[next]].offset);
  if (next === times.length && tzif.footer) {
    offsets.push(footerStandardOffset(tzif.footer));
    // "IST-1GMT0,M10.5.0,M3.5.0/1": the part after the first name and offset
    // is the other local time, when there is one.
    const other = /^[A-Za-z]+[-+]?[\d:]+([A-Za-z]+|<[^>]+>)([-+]?\d+(?::\d+){0,2})?/.exec(tzif.footer.replace(/^<[^>]+>/, 'X'));
    if (other) {
      offsets.push(other[2] !== undefined ? -Number(other[2].split(':')[0]) * 3600 : footerStandardOffset(tzif.footer) + 3600);
    }
  }
  return Math.min(...offsets);
}

function lesserOffset(zone, year, zoneInfo = kZoneInfo) {
  return lesserOffsetInYear(readTzif(fs.readFileSync(path.join(zoneInfo, zone))), year);
}

function standardOffset(zone, year, zoneInfo = kZoneInfo) {
  const tzif = readTzif(fs.readFileSync(path.join(zoneInfo, zone)));
  return standardOffsetInYear(tzif, year);
}

// The POSIX TZ string at the end of a zone's compiled file: the rule of its
// local time after the file's last transition ("AEST-10AEDT,M10.1.0,M4.1.0/3",
// or "JST-9" for a zone without daylight saving).
function zoneRule(zone, zoneInfo = kZoneInfo) {
  const { footer } = readTzif(fs.readFileSync(path.join(zoneInfo, zone)));
  if (!footer) throw new Error(`${zone}: the compiled file has no TZ string`);
  return footer;
}

// The release of the compiled tz data, from the first line of its
// tzdata.zi ("# version 2025b"), or "unknown".
function tzdataVersion(zoneInfo = kZoneInfo) {
  try {
    const firstLine = fs.readFileSync(path.join(zoneInfo, 'tzdata.zi'), 'utf8').split('\n', 1)[0];
    const match = /^# version (\S+)/.exec(firstLine);
    return match ? match[1] : 'unknown';
  } catch {
    return 'unknown';
  }
}

module.exports = { tzdataVersion, readTzif, zoneRule, footerStandardOffset, standardOffsetInYear, standardOffset, lesserOffsetInYear, lesserOffset, kZoneInfo };
