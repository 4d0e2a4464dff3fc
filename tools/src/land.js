'use strict';
// The land of the world: Natural Earth's land polygons as the world-atlas
// package ships them (TopoJSON), decoded into plain rings of [lon, lat].

const topojson = require('topojson-client');

// 1:50 million is detailed enough for a 740-pixel-wide map; the coarser
// 1:110 million set drops many small islands.
const kLandFile = 'world-atlas/land-50m.json';

// Returns an array of polygons; each polygon is an array of rings (the first
// its outline, the others its holes) and each ring an array of [lon, lat].
function loadLandPolygons(file = kLandFile) {
  const topology = require(file);
  const land = topojson.feature(topology, topology.objects.land);
  const features = land.type === 'FeatureCollection' ? land.features : [land];
  const polygons = [];
  for (const feature of features) {
    const geometry = feature.geometry;
    if (geometry.type === 'Polygon') polygons.push(geometry.coordinates);
    else if (geometry.type === 'MultiPolygon') polygons.push(...geometry.coordinates);
  }
  return polygons;
}

module.exports = { loadLandPolygons, kLandFile };
