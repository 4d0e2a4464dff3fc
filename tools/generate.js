'use strict';
// Writes every generated asset: the map, the icon and the catalogue.
// Usage: node generate.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { makeMap } = require('./make-map');
const { makeIcon, kIconSizes } = require('./make-icon');
const { makeCatalogue } = require('./make-catalogue');

function generateAll(outputFolder) {
  fs.mkdirSync(outputFolder, { recursive: true });
  makeMap(outputFolder);
  makeIcon(outputFolder);
  makeCatalogue(outputFolder);
}

if (require.main === module) generateAll(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = {
  generateAll,
  kGeneratedFiles: ['map.bmp', 'map-2x.bmp', 'zandreth.ico', ...kIconSizes.map((size) => `zandreth-${size}.png`), 'zandreth.ini'],
};
