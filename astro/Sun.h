// The Sun's geocentric ecliptic position from the mean motion of the Earth,
// the Keplerian terms of its orbit, the perturbations by Venus, Mars,
// Jupiter, Saturn and the Moon, and four long-period terms.
#pragma once

#include "astro/Numeric.h"

namespace astro {

// Geometric geocentric position of the Sun, referred to the mean equinox and
// ecliptic of date, at T Julian centuries since 2000 January 1.5 (the program
// passes Universal Time; the theory's own scale is dynamical time).
//
// longitude: radians, equal modulo 2 pi to the true longitude but keeping the
//   sign of its series: in (-2 pi, 0) for some times before 2000;
// latitude: radians (below one arcsecond);
// distance: astronomical units.
//
// Accuracy near the present about one to two arcseconds in longitude and
// 1e-5 AU in distance; it degrades slowly over millennia. NaN or an infinite
// T gives NaN results.
void SunPosition(Real T, Real& longitude, Real& latitude, Real& distance);

} // namespace astro
