'use strict';
// Country and city names in English and Japanese from the Unicode CLDR:
// territory names by ISO 3166 code, and the exemplar city of each time
// zone.
//
// CLDR files its zone names under its own canonical zone ids, which keep
// older spellings ("Asia/Calcutta" for the tz database's "Asia/Kolkata");
// the BCP 47 time-zone table lists every id a zone goes by, CLDR's own
// first.

const territoriesEn = require('cldr-localenames-full/main/en/territories.json').main.en.localeDisplayNames.territories;
const territoriesJa = require('cldr-localenames-full/main/ja/territories.json').main.ja.localeDisplayNames.territories;
const zonesEn = require('cldr-dates-full/main/en/timeZoneNames.json').main.en.dates.timeZoneNames.zone;
const zonesJa = require('cldr-dates-full/main/ja/timeZoneNames.json').main.ja.dates.timeZoneNames.zone;
const bcp47Zones = require('cldr-bcp47/bcp47/timezone.json').keyword.u.tz;

const cldrIdOf = (() => {
  const map = new Map();
  for (const [key, entry] of Object.entries(bcp47Zones)) {
    if (key.startsWith('_') || !entry._alias) continue;
    const ids = entry._alias.split(' ');
    for (const id of ids) map.set(id, ids[0]);
  }
  return (zone) => map.get(zone) || zone;
})();

function exemplarCity(zones, zone) {
  let node = zones;
  for (const part of cldrIdOf(zone).split('/')) {
    node = node && node[part];
  }
  return node && node.exemplarCity;
}

// The city name of the zone's id when CLDR has none: its last part, with
// blanks for underscores ("America/Port_of_Spain" gives "Port of Spain").
function cityFromZoneId(zone) {
  return zone.split('/').pop().replace(/_/g, ' ');
}

// Returns { countryEn, countryJa, cityEn, cityJa, sources } for a zone in a
// country; `sources` says where each city name came from.
function namesOf(country, zone) {
  const countryEn = territoriesEn[country] || country;
  const countryJa = territoriesJa[country] || countryEn;
  const cldrEn = exemplarCity(zonesEn, zone);
  const cldrJa = exemplarCity(zonesJa, zone);
  const cityEn = cldrEn || cityFromZoneId(zone);
  const cityJa = cldrJa || cityEn;
  return {
    countryEn,
    countryJa,
    cityEn,
    cityJa,
    sources: { en: cldrEn ? 'cldr' : 'zone id', ja: cldrJa ? 'cldr' : 'english' },
  };
}

module.exports = { namesOf, cldrIdOf, cityFromZoneId };
