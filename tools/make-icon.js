'use strict';
// Writes the program icon: assets/zandreth.ico (32 x 32 and 16 x 16, 16
// colours) and the same two pictures as assets/zandreth-32.png and
// assets/zandreth-16.png.
// Usage: node make-icon.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { loadLandPolygons } = require('./src/land');
const { renderGlobe, landMask, toRgba } = require('./src/globe');
const { encodeIco } = require('./src/ico');
const { encodePngRgba } = require('./src/png');

function makeIcon(outputFolder) {
  const isLand = landMask(loadLandPolygons());
  const globes = [32, 16].map((size) => renderGlobe(isLand, size));
  fs.writeFileSync(path.join(outputFolder, 'zandreth.ico'), encodeIco(globes));
  for (const globe of globes) {
    const file = path.join(outputFolder, `zandreth-${globe.size}.png`);
    fs.writeFileSync(file, encodePngRgba(globe.size, globe.size, toRgba(globe)));
  }
  console.log(`${path.join(outputFolder, 'zandreth.ico')}: ${globes.map((g) => `${g.size} x ${g.size}`).join(' and ')}, 16 colours`);
}

if (require.main === module) makeIcon(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { makeIcon };
