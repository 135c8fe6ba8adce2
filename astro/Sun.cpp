#include "astro/Sun.h"

#include <cmath>
#include <cstddef>
#include <iterator>

#include "astro/Vectors.h"

namespace astro {

namespace {

// The series: a classical analytical theory of the Earth's orbit, truncated
// to terms of 0.01" and more (longitude, latitude) and 1e-8 AU and more (radius
// vector), with mean elements fitted to the observations of the last two
// centuries. Accuracy: about 1" in longitude and 1e-5 AU in distance near the
// present, growing by roughly 1" per century away from it (checked against
// an ERFA ephemeris from 1000 to 2400 in tests/astro/SunMoonTest.cpp).
//
// Periodic terms of the Sun's geocentric longitude, latitude and radius
// vector: perturbations of the Earth's orbit by one planet, in arguments
// j*M3 + i*Mp (M3 the Earth's, Mp the planet's mean anomaly). The Venus list
// opens with the six terms of the Keplerian motion (i = 0): the equation of
// the centre and the radius vector with their secular changes.
struct SunTerm {
    int j;    // multiple of M3, -1 .. 7
    int i;    // multiple of Mp, 0 .. -8
    int k;    // 0: argument j*M3 + i*Mp; 1 or 2: the previous term's times T
    Real dlc; // longitude, cosine coefficient, arcseconds
    Real dls; // longitude, sine coefficient, arcseconds
    Real drc; // radius vector, cosine coefficient, 1e-6 AU
    Real drs; // radius vector, sine coefficient, 1e-6 AU
    Real dbc; // latitude, cosine coefficient, arcseconds
    Real dbs; // latitude, sine coefficient, arcseconds
};

// clang-format off
// Venus, argument j*M3 + i*M2.
constexpr SunTerm VenusTerms[] = {
//   j   i  k     dlc       dls         drc     drs     dbc     dbs
    {1,  0, 0, -0.22L, 6892.76L, -16707.37L, -0.54L,  0.00L,  0.00L},
    {1,  0, 1, -0.06L,  -17.35L,     42.04L, -0.15L,  0.00L,  0.00L},
    {1,  0, 2, -0.01L,   -0.05L,      0.13L, -0.02L,  0.00L,  0.00L},
    {2,  0, 0,  0.00L,   71.98L,   -139.57L,  0.00L,  0.00L,  0.00L},
    {2,  0, 1,  0.00L,   -0.36L,      0.70L,  0.00L,  0.00L,  0.00L},
    {3,  0, 0,  0.00L,    1.04L,     -1.75L,  0.00L,  0.00L,  0.00L},
    {0, -1, 0,  0.03L,   -0.07L,     -0.16L, -0.07L,  0.02L, -0.02L},
    {1, -1, 0,  2.35L,   -4.23L,     -4.75L, -2.64L,  0.00L,  0.00L},
    {1, -2, 0, -0.10L,    0.06L,      0.12L,  0.20L,  0.02L,  0.00L},
    {2, -1, 0, -0.06L,   -0.03L,      0.20L, -0.01L,  0.01L, -0.09L},
    {2, -2, 0, -4.70L,    2.90L,      8.28L, 13.42L,  0.01L, -0.01L},
    {3, -2, 0,  1.80L,   -1.74L,     -1.44L, -1.57L,  0.04L, -0.06L},
    {3, -3, 0, -0.67L,    0.03L,      0.11L,  2.43L,  0.01L,  0.00L},
    {4, -2, 0,  0.03L,   -0.03L,      0.10L,  0.09L,  0.01L, -0.01L},
    {4, -3, 0,  1.51L,   -0.40L,     -0.88L, -3.36L,  0.18L, -0.10L},
    {4, -4, 0, -0.19L,   -0.09L,     -0.38L,  0.77L,  0.00L,  0.00L},
    {5, -3, 0,  0.76L,   -0.68L,      0.30L,  0.37L,  0.01L,  0.00L},
    {5, -4, 0, -0.14L,   -0.04L,     -0.11L,  0.43L, -0.03L,  0.00L},
    {5, -5, 0, -0.05L,   -0.07L,     -0.31L,  0.21L,  0.00L,  0.00L},
    {6, -4, 0,  0.15L,   -0.04L,     -0.06L, -0.21L,  0.01L,  0.00L},
    {6, -5, 0, -0.03L,   -0.03L,     -0.09L,  0.09L, -0.01L,  0.00L},
    {6, -6, 0,  0.00L,   -0.04L,     -0.18L,  0.02L,  0.00L,  0.00L},
    {7, -5, 0, -0.12L,   -0.03L,     -0.08L,  0.31L, -0.02L, -0.01L},
};
// Mars, argument j*M3 + i*M4.
constexpr SunTerm MarsTerms[] = {
//   j   i  k     dlc     dls     drc     drs    dbc    dbs
    {1, -1, 0, -0.22L,  0.17L, -0.21L, -0.27L, 0.00L, 0.00L},
    {1, -2, 0, -1.66L,  0.62L,  0.16L,  0.28L, 0.00L, 0.00L},
    {2, -2, 0,  1.96L,  0.57L, -1.32L,  4.55L, 0.00L, 0.01L},
    {2, -3, 0,  0.40L,  0.15L, -0.17L,  0.46L, 0.00L, 0.00L},
    {2, -4, 0,  0.53L,  0.26L,  0.09L, -0.22L, 0.00L, 0.00L},
    {3, -3, 0,  0.05L,  0.12L, -0.35L,  0.15L, 0.00L, 0.00L},
    {3, -4, 0, -0.13L, -0.48L,  1.06L, -0.29L, 0.01L, 0.00L},
    {3, -5, 0, -0.04L, -0.20L,  0.20L, -0.04L, 0.00L, 0.00L},
    {4, -4, 0,  0.00L, -0.03L,  0.10L,  0.04L, 0.00L, 0.00L},
    {4, -5, 0,  0.05L, -0.07L,  0.20L,  0.14L, 0.00L, 0.00L},
    {4, -6, 0, -0.10L,  0.11L, -0.23L, -0.22L, 0.00L, 0.00L},
    {5, -7, 0, -0.05L,  0.00L,  0.01L, -0.14L, 0.00L, 0.00L},
    {5, -8, 0,  0.05L,  0.01L, -0.02L,  0.10L, 0.00L, 0.00L},
};
// Jupiter, argument j*M3 + i*M5.
constexpr SunTerm JupiterTerms[] = {
//    j   i  k     dlc     dls     drc      drs    dbc     dbs
    {-1, -1, 0,  0.01L,  0.07L,  0.18L,  -0.02L, 0.00L, -0.02L},
    { 0, -1, 0, -0.31L,  2.58L,  0.52L,   0.34L, 0.02L,  0.00L},
    { 1, -1, 0, -7.21L, -0.06L,  0.13L, -16.27L, 0.00L, -0.02L},
    { 1, -2, 0, -0.54L, -1.52L,  3.09L,  -1.12L, 0.01L, -0.17L},
    { 1, -3, 0, -0.03L, -0.21L,  0.38L,  -0.06L, 0.00L, -0.02L},
    { 2, -1, 0, -0.16L,  0.05L, -0.18L,  -0.31L, 0.01L,  0.00L},
    { 2, -2, 0,  0.14L, -2.73L,  9.23L,   0.48L, 0.00L,  0.00L},
    { 2, -3, 0,  0.07L, -0.55L,  1.83L,   0.25L, 0.01L,  0.00L},
    { 2, -4, 0,  0.02L, -0.08L,  0.25L,   0.06L, 0.00L,  0.00L},
    { 3, -2, 0,  0.01L, -0.07L,  0.16L,   0.04L, 0.00L,  0.00L},
    { 3, -3, 0, -0.16L, -0.03L,  0.08L,  -0.64L, 0.00L,  0.00L},
    { 3, -4, 0, -0.04L, -0.01L,  0.03L,  -0.17L, 0.00L,  0.00L},
};
// Saturn, argument j*M3 + i*M6.
constexpr SunTerm SaturnTerms[] = {
//   j   i  k     dlc     dls     drc     drs    dbc     dbs
    {0, -1, 0,  0.00L,  0.32L,  0.01L,  0.00L, 0.00L,  0.00L},
    {1, -1, 0, -0.08L, -0.41L,  0.97L, -0.18L, 0.00L, -0.01L},
    {1, -2, 0,  0.04L,  0.10L, -0.23L,  0.10L, 0.00L,  0.00L},
    {2, -2, 0,  0.04L,  0.10L, -0.35L,  0.13L, 0.00L,  0.00L},
};
// clang-format on

static_assert(std::size(VenusTerms) == 23 && std::size(MarsTerms) == 13 && std::size(JupiterTerms) == 12 &&
              std::size(SaturnTerms) == 4);

// Every term lies within the tables of multiples (j from -1 to 7; i from 0
// down to the planet's deepest multiple) and no list opens with a term that
// continues the argument of a previous one.
template <std::size_t N> constexpr bool TermsFitTables(const SunTerm (&terms)[N], int deepestMultiple) {
    for (std::size_t n = 0; n < N; ++n) {
        const SunTerm& t = terms[n];
        if (t.j < -1 || t.j > 7 || t.i > 0 || t.i < deepestMultiple || t.k < 0 || t.k > 2) return false;
        if (t.k != 0 && (n == 0 || terms[n - 1].k != t.k - 1)) return false;
    }
    return N > 0;
}
// The planet tables run from the multiple 0 down to these.
constexpr int VenusDeepest = -7, MarsDeepest = -9, JupiterDeepest = -5, SaturnDeepest = -2;

static_assert(TermsFitTables(VenusTerms, VenusDeepest) && TermsFitTables(MarsTerms, MarsDeepest) &&
              TermsFitTables(JupiterTerms, JupiterDeepest) && TermsFitTables(SaturnTerms, SaturnDeepest));

// 2 pi rounded as the theory's angles use it.
constexpr Real TwoPiRounded = 6.283185307L;

// Fractional part keeping the sign of x.
Real Frac(Real x) {
    return x - std::trunc(x);
}

struct Planet {
    const SunTerm* terms;
    std::size_t count;
    Real meanAnomaly;    // radians
    int deepestMultiple; // the planet table runs from 0 down to this multiple
};

} // namespace

void SunPosition(Real T, Real& longitude, Real& latitude, Real& distance) {
    // Mean anomalies of Venus, the Earth, Mars, Jupiter and Saturn, and the
    // Moon's mean elongation D, mean anomaly A and argument of latitude U;
    // radians, from revolutions.
    const Real m2 = TwoPiRounded * Frac(0.1387306L + 162.5485917L * T);
    const Real m3 = TwoPiRounded * Frac(0.9931266L + 99.9973604L * T);
    const Real m4 = TwoPiRounded * Frac(0.054325L + 53.1666028L * T);
    const Real m5 = TwoPiRounded * Frac(0.055175L + 8.4293972L * T);
    const Real m6 = TwoPiRounded * Frac(0.88165L + 3.3938722L * T);
    const Real d = TwoPiRounded * Frac(0.8274L + 1236.8531L * T);
    const Real a = TwoPiRounded * Frac(0.3749L + 1325.5524L * T);
    const Real u = TwoPiRounded * Frac(0.2591L + 1342.2278L * T);

    // Cosines and sines of j*M3, j = -1 .. 7 (index j + 1).
    CosSin earth[9];
    earth[1] = CosSin{};
    earth[2] = CosSin{std::cos(m3), std::sin(m3)};
    earth[0] = CosSin{earth[2].c, -earth[2].s};
    for (int j = 2; j <= 7; ++j)
        earth[j + 1] = AngleSum(earth[j], earth[2]);

    Real dL = 0; // arcseconds
    Real dR = 0; // 1e-6 AU
    Real dB = 0; // arcseconds

    // The argument of the latest term; a term with k != 0 continues it.
    CosSin arg;
    const Planet planets[] = {
        {VenusTerms, std::size(VenusTerms), m2, VenusDeepest},
        {MarsTerms, std::size(MarsTerms), m4, MarsDeepest},
        {JupiterTerms, std::size(JupiterTerms), m5, JupiterDeepest},
        {SaturnTerms, std::size(SaturnTerms), m6, SaturnDeepest},
    };
    for (const Planet& planet : planets) {
        // Cosines and sines of i*Mp, i = 0 .. deepestMultiple (index -i).
        CosSin multiple[10];
        multiple[0] = CosSin{};
        multiple[1] = CosSin{std::cos(planet.meanAnomaly), -std::sin(planet.meanAnomaly)};
        for (int i = 2; i <= -planet.deepestMultiple; ++i)
            multiple[i] = AngleSum(multiple[i - 1], multiple[1]);
        for (std::size_t n = 0; n < planet.count; ++n) {
            const SunTerm& t = planet.terms[n];
            if (t.k == 0) {
                arg = AngleSum(earth[t.j + 1], multiple[-t.i]);
            } else {
                arg.c = arg.c * T;
                arg.s = arg.s * T;
            }
            dL += t.dlc * arg.c + t.dls * arg.s;
            dR += t.drc * arg.c + t.drs * arg.s;
            dB += t.dbc * arg.c + t.dbs * arg.s;
        }
    }

    // Perturbations by the Moon.
    dL += 6.45L * std::sin(d) - 0.42L * std::sin(d - a) + 0.18L * std::sin(d + a) + 0.17L * std::sin(d - m3) -
          0.06L * std::sin(d + m3);
    dR += 30.76L * std::cos(d) - 3.06L * std::cos(d - a) + 0.85L * std::cos(d + a) -
          0.58L * std::cos(d + m3) + 0.57L * std::cos(d - m3);
    dB += 0.576L * std::sin(u);

    // Long-period terms of the longitude.
    dL += 6.40L * std::sin(TwoPiRounded * (0.6983L + 0.0561L * T)) +
          1.87L * std::sin(TwoPiRounded * (0.5764L + 0.4174L * T)) +
          0.27L * std::sin(TwoPiRounded * (0.4189L + 0.3306L * T)) +
          0.20L * std::sin(TwoPiRounded * (0.3581L + 2.4814L * T));

    // Mean longitude of the perihelion (revolutions) plus the mean anomaly plus
    // the secular and periodic terms in arcseconds (1296000 to a revolution).
    longitude = TwoPi * Frac(0.7859453L + m3 / TwoPiRounded + ((6191.2L + 1.1L * T) * T + dL) / 1296000);
    distance = 1.0001398L - 0.0000007L * T + 0.000001L * dR;
    latitude = dB / 3600 * Pi / 180;
}

} // namespace astro
