'use strict';
// Reader for the tz database's zone.tab: one line per time zone with the
// country code, the position of its principal city and the zone's name.

const fs = require('fs');

const kZoneTab = '/usr/share/zoneinfo/zone.tab';

// ISO 6709 sign, degrees, minutes and optional seconds: "+3541" or "-0731520".
function parseAngle(text, degreeDigits) {
  const sign = text[0] === '-' ? -1 : 1;
  const degrees = Number(text.slice(1, 1 + degreeDigits));
  const minutes = Number(text.slice(1 + degreeDigits, 3 + degreeDigits));
  const seconds = text.length > 3 + degreeDigits ? Number(text.slice(3 + degreeDigits, 5 + degreeDigits)) : 0;
  return sign * (degrees + minutes / 60 + seconds / 3600);
}

function parseCoordinates(text) {
  const match = /^([+-]\d{4}(?:\d{2})?)([+-]\d{5}(?:\d{2})?)$/.exec(text);
  if (!match) throw new Error(`zone.tab: unreadable coordinates "${text}"`);
  return { latitude: parseAngle(match[1], 2), longitude: parseAngle(match[2], 3) };
}

// Returns [{ country, latitude, longitude, zone, comment }] in file order.
function readZoneTab(file = kZoneTab) {
  const entries = [];
  for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
    if (line === '' || line.startsWith('#')) continue;
    const [country, coordinates, zone, comment = ''] = line.split('\t');
    entries.push({ country, ...parseCoordinates(coordinates), zone, comment });
  }
  return entries;
}

module.exports = { readZoneTab, parseCoordinates, kZoneTab };
