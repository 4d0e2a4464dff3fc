'use strict';
// Writes assets/zandreth.ini: the city catalogue (section MAP_INFO) and the
// first-run choice of cities and options (SELECT_CITY, PROC_INFO).
// Usage: node make-catalogue.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { buildCatalogue } = require('./src/catalogue');
const { formatIni } = require('./src/ini');
const { tzdataVersion } = require('./src/tzif');

function makeCatalogue(outputFolder) {
  const { sections, records, report } = buildCatalogue();
  const file = path.join(outputFolder, 'zandreth.ini');
  fs.writeFileSync(file, formatIni(sections));

  console.log(`${file}: ${records.length} records (NUMBER_OF_CITY=${records.length - 1}), tz data ${tzdataVersion()}`);
  console.log(`  commas replaced: ${report.commasReplaced.length ? report.commasReplaced.join('; ') : 'none'}`);
  console.log(`  English city names from the zone id (CLDR has no English exemplar): ${report.englishFromZoneId}`);
  console.log(`  Japanese city names taken from English: ${report.japaneseFromEnglish.join(', ') || 'none'}`);
  const duplicates = report.duplicates.map((d) => `${d.name} (${d.zones.join(', ')})`);
  console.log(`  English city names shared and resolved: ${duplicates.join('; ') || 'none'}`);
  console.log(`  TZ rules: ${records.length}, of which with daylight saving: ${report.rulesWithDaylightSaving}`);
}

if (require.main === module) makeCatalogue(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { makeCatalogue };
