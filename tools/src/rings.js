'use strict';
// Turns rings on the sphere into rings on the flat equirectangular plane,
// ready for a planar fill.
//
// Two things on the sphere have no direct planar meaning:
// - A ring that crosses the antimeridian jumps from +180 to -180 between two
//   points. Unwrapping makes it continuous (it may then reach past +-180);
//   the fill draws it once more shifted by 360 degrees so both parts show.
// - A ring that goes all the way round a pole (Antarctica's coast) closes on
//   itself only after a full turn of longitude. It is closed along the map's
//   edge at latitude -90 (or +90), so the fill covers everything between the
//   coast and the pole, along the whole bottom (or top) of the map.

// Longitudes of consecutive points never differ by more than half a turn on
// the sphere; a bigger step is a crossing of the antimeridian.
function unwrapRing(ring) {
  const out = [];
  let offset = 0;
  let previous = null;
  for (const [lon, lat] of ring) {
    if (previous !== null) {
      const step = lon - previous;
      if (step > 180) offset -= 360;
      else if (step < -180) offset += 360;
    }
    previous = lon;
    out.push([lon + offset, lat]);
  }
  return out;
}

function meanLatitude(ring) {
  let sum = 0;
  for (const point of ring) sum += point[1];
  return sum / ring.length;
}

// Returns planar rings (arrays of [x, y] in degrees: x = longitude, y =
// latitude) whose even-odd fill over -180..180 is the land of the given
// spherical rings.
function planarRings(polygons) {
  const result = [];
  for (const polygon of polygons) {
    for (const sphericalRing of polygon) {
      const ring = unwrapRing(sphericalRing);
      const first = ring[0];
      const last = ring[ring.length - 1];
      const turn = last[0] - first[0];
      if (Math.abs(turn) > 180) {
        // A full turn round a pole: close it through the pole's edge.
        const pole = meanLatitude(ring) < 0 ? -90 : 90;
        ring.push([last[0], pole], [first[0], pole]);
      }
      let west = Infinity;
      let east = -Infinity;
      for (const [x] of ring) {
        west = Math.min(west, x);
        east = Math.max(east, x);
      }
      // Every copy that reaches into the visible -180..180.
      for (let shift = -720; shift <= 720; shift += 360) {
        if (west + shift < 180 && east + shift > -180) {
          result.push(shift === 0 ? ring : ring.map(([x, y]) => [x + shift, y]));
        }
      }
    }
  }
  return result;
}

module.exports = { planarRings, unwrapRing };
