'use strict';
// Writes assets/map.bmp: the 740 x 370 equirectangular map of the earth.
// Usage: node make-map.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { loadLandPolygons } = require('./src/land');
const { renderMap, kGreyCount } = require('./src/map-picture');
const { encodeBmp8 } = require('./src/bmp');

function makeMap(outputFolder) {
  const map = renderMap(loadLandPolygons());
  const file = path.join(outputFolder, 'map.bmp');
  fs.writeFileSync(file, encodeBmp8(map.width, map.height, map.palette, map.pixels));

  let greyPixels = 0;
  for (const index of map.pixels) if (index < kGreyCount) greyPixels++;
  const share = (100 * greyPixels) / map.pixels.length;
  console.log(`${file}: ${map.width} x ${map.height}, grey (land and ice) ${share.toFixed(2)} % of the pixels`);
}

if (require.main === module) makeMap(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { makeMap };
