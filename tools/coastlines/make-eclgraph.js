#!/usr/bin/env node
// Writes the coastline text file ECLGRAPH.DAT from Natural Earth's 1:110m land
// outlines (public domain), as shipped by the npm package world-atlas
// (land-110m.json, TopoJSON) and converted to GeoJSON by topojson-client.
//
// Usage: node make-eclgraph.js [output path]   (default ../../data/ECLGRAPH.DAT)
//
// The file format, one number per line, Windows-1252 text with CR LF:
//   longitude line, latitude line     a point; longitude counted westward
//                                     (0 <= west < 360), latitude north positive,
//                                     both in degrees
//   900, 0                            end of the current coastline segment
//   999, 999                          end of the data
// A segment holds at most 201 points: longer outlines are cut into pieces
// that share their end points, so that no gap appears between them.
//
// The land polygons are cut at the 180th meridian; the cut edges that run
// along it (both ends at longitude +-180) are not coastline and are left out,
// which splits such a ring into open polylines there.

'use strict';

const fs = require('fs');
const path = require('path');
const topojson = require('topojson-client');
const land = require('world-atlas/land-110m.json');

const MaxPointsPerSegment = 201;
const Decimals = 4;  // 0.0001 degrees, about 11 m: finer than the 1:110m data

function onCutMeridian(p) { return Math.abs(Math.abs(p[0]) - 180) < 1e-9; }

// A closed ring (first point == last point) as polylines of real coastline.
function ringToPolylines(ring) {
  const n = ring.length - 1;  // number of edges
  const artificial = [];
  for (let i = 0; i < n; i++) artificial.push(onCutMeridian(ring[i]) && onCutMeridian(ring[i + 1]));
  const first = artificial.indexOf(true);
  if (first < 0) return [ring.slice()];
  const lines = [];
  let current = [];
  // Walk the edges cyclically, starting just after an artificial edge.
  for (let k = 1; k <= n; k++) {
    const i = (first + k) % n;
    if (artificial[i]) {
      if (current.length >= 2) lines.push(current);
      current = [];
      continue;
    }
    if (current.length === 0) current.push(ring[i]);
    current.push(ring[i + 1]);
  }
  if (current.length >= 2) lines.push(current);
  return lines;
}

// Pieces of at most MaxPointsPerSegment points; neighbours share a point.
function splitLong(line) {
  if (line.length <= MaxPointsPerSegment) return [line];
  const pieces = [];
  const step = MaxPointsPerSegment - 1;
  for (let start = 0; start < line.length - 1; start += step)
    pieces.push(line.slice(start, Math.min(start + MaxPointsPerSegment, line.length)));
  return pieces;
}

function westward(eastDegrees) {
  let w = -eastDegrees;
  if (w < 0) w += 360;
  if (w >= 360) w -= 360;
  return w;
}

function formatNumber(x) {
  let s = x.toFixed(Decimals);
  if (/^-0\.0*$/.test(s)) s = s.slice(1);  // no negative zero
  return s;
}

function main() {
  const out = process.argv[2] || path.join(__dirname, '..', '..', 'data', 'ECLGRAPH.DAT');
  const collection = topojson.feature(land, land.objects.land);
  const segments = [];
  for (const feature of collection.features) {
    const g = feature.geometry;
    const polygons = g.type === 'MultiPolygon' ? g.coordinates : [g.coordinates];
    for (const polygon of polygons)
      for (const ring of polygon)
        for (const line of ringToPolylines(ring)) segments.push(...splitLong(line));
  }
  const lines = [];
  let points = 0;
  for (const seg of segments) {
    for (const [lon, lat] of seg) {
      lines.push(formatNumber(westward(lon)), formatNumber(lat));
      points++;
    }
    lines.push('900', '0');
  }
  lines.push('999', '999');
  fs.writeFileSync(out, lines.join('\r\n') + '\r\n', { encoding: 'latin1' });
  console.log(`${out}: ${segments.length} segments, ${points} points`);
}

main();
