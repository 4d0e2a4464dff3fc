'use strict';
// The map picture: land and ice in embossed neutral greys on a light
// greyish-blue sea, as palette indices for an 8-bit bitmap.
//
// The same map is drawn at a scale of 1 (740 x 370, the map the display is
// designed on) and of 2 (1480 x 740, for screens that show two device pixels
// for each pixel of the design): every length in pixels (the blurs, the
// shore rim, the grey outer columns) grows with the scale and the relief's
// slopes are measured per pixel of the design, so both show the same map.
//
// Palette: indices 0..95 are neutral greys, 96..255 blue-greys. The sea
// colours form a grid of 32 steps from west to east (darker at the left)
// by 5 tones of relief, so every entry is a distinct colour.

const { fillCoverage, equirectangular } = require('./rasterise');
const { planarRings } = require('./rings');

const kWidth = 740;
const kHeight = 370;

const kGreyCount = 96;
const kGreyFirstLevel = 62; // greys 62, 64, ... 252
const kGreyStep = 2;
const kEdgeGrey = 216; // the outermost left and right columns

const kSeaSteps = 32;
const kSeaTones = 5;
// The sea stays inside the box from (126, 152, 192) to (168, 196, 204): the
// west-to-east line runs inside it and each tone step moves by kToneStep.
// Green rises by exactly one per step and a tone step raises green but
// lowers blue, so no two entries can coincide.
const kSeaWest = [132, 158, 196];
const kSeaEast = [162, 158 + kSeaSteps - 1, 200];
const kToneStep = [3, 3, -2];

// The relief: a light from above (a little from the west) on the land mask
// blurred at two scales, a narrow one for the bright and dark coast lines
// and a wide one for a soft bevel.
const kLightFromAbove = 1.0;
const kLightFromWest = 0.3;
const kFineBlur = 1.0; // pixels
const kBroadBlur = 3.5; // pixels
const kFineGain = 260;
const kBroadGain = 180;
const kLandGrey = 178;
const kSeaToneGain = 40;

function buildPalette() {
  const palette = [];
  for (let i = 0; i < kGreyCount; i++) {
    const level = kGreyFirstLevel + kGreyStep * i;
    palette.push([level, level, level]);
  }
  for (let step = 0; step < kSeaSteps; step++) {
    const t = step / (kSeaSteps - 1);
    for (let tone = 0; tone < kSeaTones; tone++) {
      const shift = tone - (kSeaTones - 1) / 2;
      palette.push(kSeaWest.map((west, c) => Math.round(west + (kSeaEast[c] - west) * t + shift * kToneStep[c])));
    }
  }
  return palette;
}

function greyIndex(level) {
  const index = Math.round((level - kGreyFirstLevel) / kGreyStep);
  return Math.max(0, Math.min(kGreyCount - 1, index));
}

function seaIndex(column, tone, width) {
  const step = Math.min(kSeaSteps - 1, Math.floor((column * kSeaSteps) / width));
  return kGreyCount + step * kSeaTones + tone;
}

// Separable Gaussian blur; columns wrap round (the map is continuous across
// the antimeridian), rows are clamped at the poles.
function blur(values, width, height, sigma) {
  const radius = Math.ceil(sigma * 3);
  const kernel = [];
  let total = 0;
  for (let i = -radius; i <= radius; i++) {
    const w = Math.exp(-(i * i) / (2 * sigma * sigma));
    kernel.push(w);
    total += w;
  }
  for (let i = 0; i < kernel.length; i++) kernel[i] /= total;

  const across = new Float64Array(values.length);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      let sum = 0;
      for (let i = -radius; i <= radius; i++) sum += kernel[i + radius] * values[y * width + ((x + i + width) % width)];
      across[y * width + x] = sum;
    }
  }
  const out = new Float64Array(values.length);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      let sum = 0;
      for (let i = -radius; i <= radius; i++) {
        const yy = Math.max(0, Math.min(height - 1, y + i));
        sum += kernel[i + radius] * across[yy * width + x];
      }
      out[y * width + x] = sum;
    }
  }
  return out;
}

// How much a surface shaped like `field` faces the light: positive where
// the field rises downwards (the upper edge of land), negative on the lower
// edge. Slopes are per pixel of the design: `scale` device pixels.
function lighting(field, width, height, scale) {
  const out = new Float64Array(field.length);
  for (let y = 0; y < height; y++) {
    const up = Math.max(0, y - 1);
    const down = Math.min(height - 1, y + 1);
    for (let x = 0; x < width; x++) {
      const left = (x - 1 + width) % width;
      const right = (x + 1) % width;
      const vertical = (field[down * width + x] - field[up * width + x]) / (down - up);
      const horizontal = (field[y * width + right] - field[y * width + left]) / 2;
      out[y * width + x] = (kLightFromAbove * vertical + kLightFromWest * horizontal) * scale;
    }
  }
  return out;
}

// Land is every pixel at least half covered, widened by a shore rim one
// pixel of the design wide (at scale 1 the four direct neighbours of land;
// at scale s every pixel at most s steps left, right, up or down from
// land): the rim carries the relief's highlight and shadow and gives the
// thin coasts of small islands a body.
function greyMask(coverage, width, height, scale) {
  const land = Uint8Array.from(coverage, (c) => (c >= 0.5 ? 1 : 0));
  const grey = new Uint8Array(land);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      if (land[y * width + x]) continue;
      let near = false;
      for (let d = 1; d <= scale && !near; d++) {
        const left = land[y * width + ((x - d + width) % width)];
        const right = land[y * width + ((x + d) % width)];
        const above = y - d >= 0 && land[(y - d) * width + x];
        const below = y + d < height && land[(y + d) * width + x];
        near = Boolean(left || right || above || below);
      }
      if (near) grey[y * width + x] = 1;
    }
  }
  return grey;
}

// Returns { palette, pixels, coverage, grey, width, height } for the given
// land polygons at the given scale (1 or 2).
function renderMap(polygons, scale = 1) {
  const width = kWidth * scale;
  const height = kHeight * scale;
  const coverage = fillCoverage(planarRings(polygons), width, height, equirectangular(width, height), 4);
  const grey = greyMask(coverage, width, height, scale);
  const fine = lighting(blur(coverage, width, height, kFineBlur * scale), width, height, scale);
  const broad = lighting(blur(coverage, width, height, kBroadBlur * scale), width, height, scale);

  const pixels = new Uint8Array(width * height);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      const at = y * width + x;
      if (x < scale || x >= width - scale) {
        pixels[at] = greyIndex(kEdgeGrey);
      } else if (grey[at]) {
        pixels[at] = greyIndex(kLandGrey + kFineGain * fine[at] + kBroadGain * broad[at]);
      } else {
        const centre = (kSeaTones - 1) / 2;
        const tone = Math.max(0, Math.min(kSeaTones - 1, Math.round(centre + kSeaToneGain * fine[at])));
        pixels[at] = seaIndex(x, tone, width);
      }
    }
  }
  return { palette: buildPalette(), pixels, coverage, grey, width, height };
}

module.exports = { renderMap, buildPalette, kWidth, kHeight, kGreyCount };
