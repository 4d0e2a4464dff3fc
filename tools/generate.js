'use strict';
// Writes every generated asset: the map, the icon and the catalogue.
// Usage: node generate.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { makeMap } = require('./make-map');
const { makeIcon } = require('./make-icon');
const { makeCatalogue } = require('./make-catalogue');

function generateAll(outputFolder) {
  fs.mkdirSync(outputFolder, { recursive: true });
  makeMap(outputFolder);
  makeIcon(outputFolder);
  makeCatalogue(outputFolder);
}

if (require.main === module) generateAll(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { generateAll, kGeneratedFiles: ['map.bmp', 'zandreth.ico', 'zandreth-32.png', 'zandreth-16.png', 'zandreth.ini'] };
