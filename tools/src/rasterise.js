'use strict';
// Scanline fill of planar rings into a coverage grid.
//
// The grid is width x height pixels over a rectangle of the plane. Each pixel
// row is sampled on `rowSamples` horizontal lines; on each line the even-odd
// rule gives the spans inside the rings, and every span adds its exact
// horizontal overlap with each pixel. The result is the inside fraction of
// each pixel, 0..1, which smooths the coasts.

// `toPixel(x, y)` maps a planar point to fractional pixel coordinates
// ([column, row], 0..width and 0..height across the grid).
function fillCoverage(rings, width, height, toPixel, rowSamples = 4) {
  const lineCount = height * rowSamples;
  const crossings = Array.from({ length: lineCount }, () => []);

  for (const ring of rings) {
    const points = ring.map(([x, y]) => toPixel(x, y));
    for (let i = 0; i < points.length; i++) {
      const [x0, y0] = points[i];
      const [x1, y1] = points[(i + 1) % points.length];
      if (y0 === y1) continue;
      const top = Math.min(y0, y1);
      const bottom = Math.max(y0, y1);
      // Sample line k lies at row (k + 0.5) / rowSamples. An edge owns the
      // lines in [top, bottom): a vertex shared by two edges counts once.
      const first = Math.max(0, Math.ceil(top * rowSamples - 0.5));
      const last = Math.min(lineCount - 1, Math.ceil(bottom * rowSamples - 0.5) - 1);
      const slope = (x1 - x0) / (y1 - y0);
      for (let k = first; k <= last; k++) {
        const y = (k + 0.5) / rowSamples;
        crossings[k].push(x0 + (y - y0) * slope);
      }
    }
  }

  const coverage = new Float64Array(width * height);
  const weight = 1 / rowSamples;
  for (let k = 0; k < lineCount; k++) {
    const xs = crossings[k].sort((a, b) => a - b);
    const rowStart = Math.floor(k / rowSamples) * width;
    for (let i = 0; i + 1 < xs.length; i += 2) {
      addSpan(coverage, rowStart, width, xs[i], xs[i + 1], weight);
    }
  }
  return coverage;
}

function addSpan(coverage, rowStart, width, left, right, weight) {
  const a = Math.max(0, left);
  const b = Math.min(width, right);
  if (b <= a) return;
  const firstColumn = Math.floor(a);
  const lastColumn = Math.min(width - 1, Math.ceil(b) - 1);
  for (let column = firstColumn; column <= lastColumn; column++) {
    const overlap = Math.min(b, column + 1) - Math.max(a, column);
    if (overlap > 0) coverage[rowStart + column] += overlap * weight;
  }
}

// The equirectangular grid of the whole earth: longitude -180..180 across,
// latitude 90..-90 down.
function equirectangular(width, height) {
  return (lon, lat) => [((lon + 180) * width) / 360, ((90 - lat) * height) / 180];
}

module.exports = { fillCoverage, equirectangular };
