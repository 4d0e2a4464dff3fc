'use strict';
// The program icon: a small globe in orthographic view over the Americas,
// drawn with a 16-entry palette: black outline, shaded blue sea, shaded
// green land and a white glint; pixels outside the disc are transparent.

const { fillCoverage, equirectangular } = require('./rasterise');
const { planarRings } = require('./rings');

// The view is centred over the Caribbean so both Americas show.
const kCentreLatitude = 20;
const kCentreLongitude = -80;

// The land looked up by the globe: a quarter-degree equirectangular mask.
const kMaskWidth = 1440;
const kMaskHeight = 720;

// Sub-samples per pixel along each axis.
const kSamples = 6;

// Light from the upper left, towards the viewer.
const kLight = normalise([-0.55, 0.6, 0.58]);
const kAmbient = 0.3;
const kShades = 7;

// Index 0 black (the outline, and the colour under the transparent corners),
// 1..7 sea from dark to light, 8..14 land from dark to light, 15 white.
const kPalette = [
  [0, 0, 0],
  [0, 24, 96], [0, 40, 128], [0, 60, 160], [16, 84, 192], [40, 112, 216], [72, 144, 232], [120, 180, 248],
  [0, 56, 0], [8, 80, 8], [16, 108, 16], [32, 136, 32], [56, 164, 48], [96, 192, 72], [144, 220, 112],
  [255, 255, 255],
];
const kBlack = 0;
const kFirstSea = 1;
const kFirstLand = 8;
const kWhite = 15;

function normalise(v) {
  const length = Math.hypot(...v);
  return v.map((c) => c / length);
}

function landMask(polygons) {
  const coverage = fillCoverage(planarRings(polygons), kMaskWidth, kMaskHeight, equirectangular(kMaskWidth, kMaskHeight), 2);
  return (lat, lon) => {
    const x = Math.min(kMaskWidth - 1, Math.floor(((lon + 180) * kMaskWidth) / 360));
    const y = Math.min(kMaskHeight - 1, Math.floor(((90 - lat) * kMaskHeight) / 180));
    return coverage[y * kMaskWidth + x] >= 0.5;
  };
}

// Inverse orthographic projection of a point (x right, y up) on the unit
// disc to [lat, lon] in degrees.
function inverseOrthographic(x, y) {
  const radians = Math.PI / 180;
  const phi0 = kCentreLatitude * radians;
  const rho = Math.hypot(x, y);
  if (rho === 0) return [kCentreLatitude, kCentreLongitude];
  const c = Math.asin(Math.min(1, rho));
  const lat = Math.asin(Math.cos(c) * Math.sin(phi0) + (y * Math.sin(c) * Math.cos(phi0)) / rho);
  const lon = Math.atan2(x * Math.sin(c), rho * Math.cos(c) * Math.cos(phi0) - y * Math.sin(c) * Math.sin(phi0));
  let longitude = kCentreLongitude + lon / radians;
  if (longitude < -180) longitude += 360;
  if (longitude >= 180) longitude -= 360;
  return [lat / radians, longitude];
}

// Returns { size, palette, indices, opaque }: palette indices top row first
// and, for each pixel, whether it belongs to the picture.
function renderGlobe(isLand, size) {
  const indices = new Uint8Array(size * size);
  const opaque = new Uint8Array(size * size);
  const radius = size / 2;
  const outline = 1; // pixels
  for (let row = 0; row < size; row++) {
    for (let column = 0; column < size; column++) {
      const centreX = column + 0.5 - radius;
      const centreY = radius - (row + 0.5);
      const distance = Math.hypot(centreX, centreY);
      const at = row * size + column;
      if (distance > radius - 0.25) continue; // a corner: stays transparent
      opaque[at] = 1;
      if (distance > radius - outline - 0.25) {
        indices[at] = kBlack;
        continue;
      }
      let land = 0;
      let light = 0;
      let glint = 0;
      let count = 0;
      for (let sy = 0; sy < kSamples; sy++) {
        for (let sx = 0; sx < kSamples; sx++) {
          const x = (column + (sx + 0.5) / kSamples - radius) / (radius - outline);
          const y = (radius - (row + (sy + 0.5) / kSamples)) / (radius - outline);
          if (x * x + y * y >= 1) continue;
          const z = Math.sqrt(1 - x * x - y * y);
          const facing = Math.max(0, x * kLight[0] + y * kLight[1] + z * kLight[2]);
          const [lat, lon] = inverseOrthographic(x, y);
          count++;
          if (isLand(lat, lon)) land++;
          light += kAmbient + (1 - kAmbient) * facing;
          if (facing > 0.985) glint++;
        }
      }
      if (count === 0) {
        indices[at] = kBlack;
        continue;
      }
      const isLandPixel = land * 2 > count;
      const shade = Math.min(kShades - 1, Math.floor((light / count) * kShades));
      if (!isLandPixel && glint * 2 > count) indices[at] = kWhite;
      else indices[at] = (isLandPixel ? kFirstLand : kFirstSea) + shade;
    }
  }
  return { size, palette: kPalette, indices, opaque };
}

// Shades of `first`..`first + kShades - 1` blended for a light level of
// 0..1: the smooth counterpart of a pixel's single palette shade.
function blendedShade(first, level) {
  const position = Math.max(0, Math.min(kShades - 1, level * kShades - 0.5));
  const lower = Math.floor(position);
  const upper = Math.min(kShades - 1, lower + 1);
  const t = position - lower;
  return kPalette[first + lower].map((c, i) => c + (kPalette[first + upper][i] - c) * t);
}

// The globe for the larger icons, where single palette shades would show as
// bands and the disc's edge as steps: the same view, light and colours,
// with the shades blended, land and sea decided per sample and the edge's
// coverage as alpha. The outline is one pixel in 32 of the size wide.
// Returns size * size * 4 bytes of RGBA, top row first.
function renderSmoothGlobe(isLand, size) {
  const rgba = new Uint8Array(size * size * 4);
  const radius = size / 2;
  const outline = size / 32;
  const inner = radius - outline;
  const samples = kSamples * kSamples;
  for (let row = 0; row < size; row++) {
    for (let column = 0; column < size; column++) {
      const sum = [0, 0, 0];
      let inside = 0;
      for (let sy = 0; sy < kSamples; sy++) {
        for (let sx = 0; sx < kSamples; sx++) {
          const px = column + (sx + 0.5) / kSamples - radius;
          const py = radius - (row + (sy + 0.5) / kSamples);
          const distance = Math.hypot(px, py);
          if (distance >= radius) continue;
          inside++;
          if (distance >= inner) continue; // the outline: black
          const x = px / inner;
          const y = py / inner;
          const z = Math.sqrt(Math.max(0, 1 - x * x - y * y));
          const facing = Math.max(0, x * kLight[0] + y * kLight[1] + z * kLight[2]);
          const [lat, lon] = inverseOrthographic(x, y);
          const land = isLand(lat, lon);
          const colour = facing > 0.985 && !land
            ? kPalette[kWhite]
            : blendedShade(land ? kFirstLand : kFirstSea, kAmbient + (1 - kAmbient) * facing);
          for (let c = 0; c < 3; c++) sum[c] += colour[c];
        }
      }
      if (inside === 0) continue;
      const at = (row * size + column) * 4;
      for (let c = 0; c < 3; c++) rgba[at + c] = Math.round(sum[c] / inside);
      rgba[at + 3] = Math.round((255 * inside) / samples);
    }
  }
  return rgba;
}

// The same picture as 8-bit RGBA, fully transparent outside the globe.
function toRgba(globe) {
  const rgba = new Uint8Array(globe.size * globe.size * 4);
  for (let i = 0; i < globe.indices.length; i++) {
    if (!globe.opaque[i]) continue;
    const [red, green, blue] = globe.palette[globe.indices[i]];
    rgba.set([red, green, blue, 255], i * 4);
  }
  return rgba;
}

module.exports = { renderGlobe, renderSmoothGlobe, landMask, toRgba, kPalette };
