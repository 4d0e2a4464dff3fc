'use strict';
// Cross-checks the catalogue's standard offsets, read from the compiled tz
// data, against two other readings of the same rules:
// - Node's Intl (its own copy of the tz data): the lesser of the offsets on
//   15 January and 15 July of the same year;
// - zdump -i from the system, for a few zones, printed for reading (a
//   trailing 1 marks a daylight-saving time type).
// Prints every zone where the first two disagree.

const { execFileSync } = require('child_process');
const { readZoneTab } = require('./src/zone-tab');
const { standardOffset } = require('./src/tzif');
const { kOffsetYear } = require('./src/catalogue');

function intlOffset(zone, date) {
  const part = new Intl.DateTimeFormat('en', { timeZone: zone, timeZoneName: 'longOffset' })
    .formatToParts(date)
    .find((p) => p.type === 'timeZoneName').value;
  const match = /GMT(?:([+-])(\d\d):(\d\d))?/.exec(part);
  if (!match[1]) return 0;
  return (match[1] === '-' ? -1 : 1) * (Number(match[2]) * 3600 + Number(match[3]) * 60);
}

let disagreements = 0;
const zones = readZoneTab();
for (const { zone } of zones) {
  const fromTzif = standardOffset(zone, kOffsetYear);
  const lesser = Math.min(
    intlOffset(zone, new Date(Date.UTC(kOffsetYear, 0, 15))),
    intlOffset(zone, new Date(Date.UTC(kOffsetYear, 6, 15))),
  );
  if (fromTzif !== lesser) {
    disagreements++;
    console.log(`${zone}: standard time ${fromTzif} s, lesser of January and July ${lesser} s`);
  }
}
console.log(`${zones.length} zones, ${disagreements} where standard time is not the lesser offset`);
console.log(`Node's tz data ${process.versions.tz}`);

const samples = ['Asia/Tokyo', 'America/New_York', 'Asia/Kolkata', 'Asia/Kathmandu', 'Pacific/Chatham', 'Europe/Dublin', 'Africa/Casablanca'];
try {
  const text = execFileSync('zdump', ['-i', '-c', `${kOffsetYear},${kOffsetYear + 1}`, ...samples], { encoding: 'utf8' });
  console.log(text.trim());
  for (const zone of samples) console.log(`${zone}: catalogue ${standardOffset(zone, kOffsetYear)} s`);
} catch (error) {
  console.log(`zdump not available: ${error.message}`);
}
