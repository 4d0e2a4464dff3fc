'use strict';
// Writes assets/map.bmp, the 740 x 370 equirectangular map of the earth,
// and assets/map-2x.bmp, the same map drawn at twice the size (1480 x 740)
// for screens of two device pixels per pixel.
// Usage: node make-map.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { loadLandPolygons } = require('./src/land');
const { renderMap, kGreyCount } = require('./src/map-picture');
const { encodeBmp8 } = require('./src/bmp');

const kMaps = [
  { scale: 1, name: 'map.bmp' },
  { scale: 2, name: 'map-2x.bmp' },
];

function makeMap(outputFolder) {
  const polygons = loadLandPolygons();
  for (const { scale, name } of kMaps) {
    const map = renderMap(polygons, scale);
    const file = path.join(outputFolder, name);
    fs.writeFileSync(file, encodeBmp8(map.width, map.height, map.palette, map.pixels));

    let greyPixels = 0;
    for (const index of map.pixels) if (index < kGreyCount) greyPixels++;
    const share = (100 * greyPixels) / map.pixels.length;
    console.log(`${file}: ${map.width} x ${map.height}, grey (land and ice) ${share.toFixed(2)} % of the pixels`);
  }
}

if (require.main === module) makeMap(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { makeMap };
