// The Moon's geocentric ecliptic position from a lunar theory of periodic
// terms in the four fundamental arguments l (the Moon's mean anomaly), l'
// (the Sun's mean anomaly), F (the Moon's mean argument of latitude) and D
// (the mean elongation of the Moon from the Sun).
#pragma once

#include "astro/Numeric.h"

namespace astro {

// Geometric geocentric position of the Moon, referred to the mean equinox and
// ecliptic of date, at T Julian centuries since 2000 January 1.5 (the program
// passes Universal Time; the theory's own scale is dynamical time).
//
// longitude: radians, in [0, 2 pi) for every finite T;
// latitude: radians;
// distance: Earth radii, from the horizontal parallax.
//
// Accuracy near the present a few arcseconds in longitude and latitude and
// a few thousandths of an Earth radius (10 to 20 km) in distance; it degrades slowly over
// centuries. NaN or an infinite T gives NaN results.
void MoonPosition(Real T, Real& longitude, Real& latitude, Real& distance);

} // namespace astro
