'use strict';
// Writes the program icon: assets/zandreth.ico (the globe at 256, 128, 64,
// 48, 32, 24 and 16 pixels, 32-bit with alpha) and the same pictures as
// assets/zandreth-N.png for the windows' icons and the desktop's icon theme.
// Usage: node make-icon.js [output folder]   (default: ../assets)

const fs = require('fs');
const path = require('path');
const { loadLandPolygons } = require('./src/land');
const { renderGlobe, renderSmoothGlobe, landMask, toRgba } = require('./src/globe');
const { encodeIco } = require('./src/ico');
const { encodePngRgba } = require('./src/png');

const kIconSizes = [256, 128, 64, 48, 32, 24, 16];
// Up to this size the globe keeps the crisp 16-colour pixels of the small
// icons; the larger ones are drawn with blended shades and a smooth edge.
const kLargestPixelGlobe = 32;

function makeIcon(outputFolder) {
  const isLand = landMask(loadLandPolygons());
  const globes = kIconSizes.map((size) => ({
    size,
    rgba: size <= kLargestPixelGlobe ? toRgba(renderGlobe(isLand, size)) : renderSmoothGlobe(isLand, size),
  }));
  fs.writeFileSync(path.join(outputFolder, 'zandreth.ico'), encodeIco(globes));
  for (const globe of globes) {
    const file = path.join(outputFolder, `zandreth-${globe.size}.png`);
    fs.writeFileSync(file, encodePngRgba(globe.size, globe.size, globe.rgba));
  }
  console.log(`${path.join(outputFolder, 'zandreth.ico')}: ${kIconSizes.join(', ')} pixels, 32-bit with alpha`);
}

if (require.main === module) makeIcon(process.argv[2] || path.join(__dirname, '..', 'assets'));

module.exports = { makeIcon, kIconSizes };
