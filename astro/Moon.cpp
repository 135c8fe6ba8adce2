#include "astro/Moon.h"

#include <cmath>
#include <cstddef>
#include <iterator>

#include "astro/Vectors.h"

namespace astro {

namespace {

// A main term of the lunar theory in the argument p*l + q*l' + r*F + s*D: its
// sine gives the longitude and the correction of the argument of latitude,
// its cosine the correction of the latitude amplitude and the horizontal
// parallax.
struct MainTerm {
    int p;   // multiple of l
    int q;   // multiple of l'
    int r;   // multiple of F
    int s;   // multiple of D
    Real cL; // longitude, arcseconds
    Real cS; // argument of latitude, arcseconds
    Real cG; // latitude amplitude, arcseconds
    Real cP; // sine of the horizontal parallax, arcseconds
};

// A term of the latitude series, in the sine of p*l + q*l' + r*F + s*D.
struct LatitudeTerm {
    int p;   // multiple of l
    int q;   // multiple of l'
    int r;   // multiple of F
    int s;   // multiple of D
    Real cN; // latitude, arcseconds
};

// clang-format off
// The series: a classical analytical lunar theory, truncated to the terms
// above about 0.2", in the four fundamental arguments l, l', F, D with mean
// arguments quadratic in T. Accuracy: a few arcseconds in longitude and
// latitude and about 30 km in distance near the present; the omitted higher
// powers of T let the error grow as T^2, about 2" per century squared
// (checked against Meeus' worked example and an ERFA ephemeris in
// tests/astro/SunMoonTest.cpp).
//
// Main terms of the Moon's longitude, latitude argument, latitude amplitude
// and parallax, in three lists summed in this order; grouped by (p, q, r),
// within a group running over s.
constexpr MainTerm MainTerms1[] = {
//   p  q  r   s          cL         cS       cG         cP
    {0, 0, 0,  4,    13.902L,    14.06L, -0.001L,   0.2607L},
    {0, 0, 0,  3,     0.403L,    -4.01L,  0.394L,   0.0023L},
    {0, 0, 0,  2,  2369.912L,  2373.36L,  0.601L,  28.2333L},
    {0, 0, 0,  1,  -125.154L,  -112.79L, -0.725L,  -0.9781L},
    {1, 0, 0,  4,     1.979L,     6.98L, -0.445L,   0.0433L},
    {1, 0, 0,  2,   191.953L,   192.72L,  0.029L,   3.0861L},
    {1, 0, 0,  1,    -8.466L,   -13.51L,  0.455L,  -0.1093L},
    {1, 0, 0,  0, 22639.500L, 22609.07L,  0.079L, 186.5398L},
    {1, 0, 0, -1,    18.609L,     3.59L, -0.094L,   0.0118L},
    {1, 0, 0, -2, -4586.465L, -4578.13L, -0.077L,  34.3117L},
    {1, 0, 0, -3,     3.215L,     5.44L,  0.192L,  -0.0386L},
    {1, 0, 0, -4,   -38.428L,   -38.64L,  0.001L,   0.6008L},
    {1, 0, 0, -6,    -0.393L,    -1.43L, -0.092L,   0.0086L},
    {0, 1, 0,  4,    -0.289L,    -1.59L,  0.123L,  -0.0053L},
    {0, 1, 0,  2,   -24.420L,   -25.10L,  0.040L,  -0.3000L},
    {0, 1, 0,  1,    18.023L,    17.93L,  0.007L,   0.1494L},
    {0, 1, 0,  0,  -668.146L,  -126.98L, -1.302L,  -0.3997L},
    {0, 1, 0, -1,     0.560L,     0.32L, -0.001L,  -0.0037L},
    {0, 1, 0, -2,  -165.145L,  -165.06L,  0.054L,   1.9178L},
    {0, 1, 0, -4,    -1.877L,    -6.46L, -0.416L,   0.0339L},
    {2, 0, 0,  4,     0.213L,     1.02L, -0.074L,   0.0054L},
    {2, 0, 0,  2,    14.387L,    14.78L, -0.017L,   0.2833L},
    {2, 0, 0,  1,    -0.586L,    -1.20L,  0.054L,  -0.0100L},
    {2, 0, 0,  0,   769.016L,   767.96L,  0.107L,  10.1657L},
    {2, 0, 0, -1,     1.750L,     2.01L, -0.018L,   0.0155L},
    {2, 0, 0, -2,  -211.656L,  -152.53L,  5.679L,  -0.3039L},
    {2, 0, 0, -3,     1.225L,     0.91L, -0.030L,  -0.0088L},
    {2, 0, 0, -4,   -30.773L,   -34.07L, -0.308L,   0.3722L},
    {2, 0, 0, -6,    -0.570L,    -1.40L, -0.074L,   0.0109L},
    {1, 1, 0,  2,    -2.921L,   -11.75L,  0.787L,  -0.0484L},
    {1, 1, 0,  1,     1.267L,     1.52L, -0.022L,   0.0164L},
    {1, 1, 0,  0,  -109.673L,  -115.18L,  0.461L,  -0.9490L},
    {1, 1, 0, -2,  -205.962L,  -182.36L,  2.056L,   1.4437L},
    {1, 1, 0, -3,     0.233L,     0.36L,  0.012L,  -0.0025L},
    {1, 1, 0, -4,    -4.391L,    -9.66L, -0.471L,   0.0673L},
};
constexpr MainTerm MainTerms2[] = {
//   p   q   r   s         cL       cS       cG        cP
    {1, -1,  0,  4,    0.283L,   1.53L, -0.111L,  0.0060L},
    {1, -1,  0,  2,   14.577L,  31.70L, -1.540L,  0.2302L},
    {1, -1,  0,  0,  147.687L, 138.76L,  0.679L,  1.1528L},
    {1, -1,  0, -1,   -1.089L,   0.55L,  0.021L,  0.0000L},
    {1, -1,  0, -2,   28.475L,  23.59L, -0.443L, -0.2257L},
    {1, -1,  0, -3,   -0.276L,  -0.38L, -0.006L, -0.0036L},
    {1, -1,  0, -4,    0.636L,   2.27L,  0.146L, -0.0102L},
    {0,  2,  0,  2,   -0.189L,  -1.68L,  0.131L, -0.0028L},
    {0,  2,  0,  0,   -7.486L,  -0.66L, -0.037L, -0.0086L},
    {0,  2,  0, -2,   -8.096L, -16.35L, -0.740L,  0.0918L},
    {0,  0,  2,  2,   -5.741L,  -0.04L,  0.000L, -0.0009L},
    {0,  0,  2,  1,    0.255L,   0.00L,  0.000L,  0.0000L},
    {0,  0,  2,  0, -411.608L,  -0.20L,  0.000L, -0.0124L},
    {0,  0,  2, -1,    0.584L,   0.84L,  0.000L,  0.0071L},
    {0,  0,  2, -2,  -55.173L, -52.14L,  0.000L, -0.1052L},
    {0,  0,  2, -3,    0.254L,   0.25L,  0.000L, -0.0017L},
    {0,  0,  2, -4,    0.025L,  -1.67L,  0.000L,  0.0031L},
    {3,  0,  0,  2,    1.060L,   2.96L, -0.166L,  0.0243L},
    {3,  0,  0,  0,   36.124L,  50.64L, -1.300L,  0.6215L},
    {3,  0,  0, -2,  -13.193L, -16.40L,  0.258L, -0.1187L},
    {3,  0,  0, -4,   -1.187L,  -0.74L,  0.042L,  0.0074L},
    {3,  0,  0, -6,   -0.293L,  -0.31L, -0.002L,  0.0046L},
    {2,  1,  0,  2,   -0.290L,  -1.45L,  0.116L, -0.0051L},
    {2,  1,  0,  0,   -7.649L, -10.56L,  0.259L, -0.1038L},
    {2,  1,  0, -2,   -8.627L,  -7.59L,  0.078L, -0.0192L},
    {2,  1,  0, -4,   -2.740L,  -2.54L,  0.022L,  0.0324L},
    {2, -1,  0,  2,    1.181L,   3.32L, -0.212L,  0.0213L},
    {2, -1,  0,  0,    9.703L,  11.67L, -0.151L,  0.1268L},
    {2, -1,  0, -1,   -0.352L,  -0.37L,  0.001L, -0.0028L},
    {2, -1,  0, -2,   -2.494L,  -1.17L, -0.003L, -0.0017L},
    {2, -1,  0, -4,    0.360L,   0.20L, -0.012L, -0.0043L},
    {1,  2,  0,  0,   -1.167L,  -1.25L,  0.008L, -0.0106L},
    {1,  2,  0, -2,   -7.412L,  -6.12L,  0.117L,  0.0484L},
    {1,  2,  0, -4,   -0.311L,  -0.65L, -0.032L,  0.0044L},
    {1, -2,  0,  2,    0.757L,   1.82L, -0.105L,  0.0112L},
    {1, -2,  0,  0,    2.580L,   2.32L,  0.027L,  0.0196L},
    {1, -2,  0, -2,    2.533L,   2.40L, -0.014L, -0.0212L},
    {0,  3,  0, -2,   -0.344L,  -0.57L, -0.025L,  0.0036L},
    {1,  0,  2,  2,   -0.992L,  -0.02L,  0.000L,  0.0000L},
    {1,  0,  2,  0,  -45.099L,  -0.02L,  0.000L, -0.0010L},
    {1,  0,  2, -2,   -0.179L,  -9.52L,  0.000L, -0.0833L},
    {1,  0,  2, -4,   -0.301L,  -0.33L,  0.000L,  0.0014L},
    {1,  0, -2,  2,   -6.382L,  -3.37L,  0.000L, -0.0481L},
    {1,  0, -2,  0,   39.528L,  85.13L,  0.000L, -0.7136L},
    {1,  0, -2, -2,    9.366L,   0.71L,  0.000L, -0.0112L},
    {1,  0, -2, -4,    0.202L,   0.02L,  0.000L,  0.0000L},
};
constexpr MainTerm MainTerms3[] = {
//   p   q   r   s       cL      cS       cG        cP
    {0,  1,  2,  0,  0.415L,  0.10L,  0.000L,  0.0013L},
    {0,  1,  2, -2, -2.152L, -2.26L,  0.000L, -0.0066L},
    {0,  1, -2,  2, -1.440L, -1.30L,  0.000L,  0.0014L},
    {0,  1, -2, -2,  0.384L, -0.04L,  0.000L,  0.0000L},
    {4,  0,  0,  0,  1.938L,  3.60L, -0.145L,  0.0401L},
    {4,  0,  0, -2, -0.952L, -1.58L,  0.052L, -0.0130L},
    {3,  1,  0,  0, -0.551L, -0.94L,  0.032L, -0.0097L},
    {3,  1,  0, -2, -0.482L, -0.57L,  0.005L, -0.0045L},
    {3, -1,  0,  0,  0.681L,  0.96L, -0.026L,  0.0115L},
    {2,  2,  0, -2, -0.297L, -0.27L,  0.002L, -0.0009L},
    {2, -2,  0, -2,  0.254L,  0.21L, -0.003L,  0.0000L},
    {1,  3,  0, -2, -0.250L, -0.22L,  0.004L,  0.0014L},
    {2,  0,  2,  0, -3.996L,  0.00L,  0.000L,  0.0004L},
    {2,  0,  2, -2,  0.557L, -0.75L,  0.000L, -0.0090L},
    {2,  0, -2,  2, -0.459L, -0.38L,  0.000L, -0.0053L},
    {2,  0, -2,  0, -1.298L,  0.74L,  0.000L,  0.0004L},
    {2,  0, -2, -2,  0.538L,  1.14L,  0.000L, -0.0141L},
    {1,  1,  2,  0,  0.263L,  0.02L,  0.000L,  0.0000L},
    {1,  1, -2, -2,  0.426L,  0.07L,  0.000L, -0.0006L},
    {1, -1,  2,  0, -0.304L,  0.03L,  0.000L,  0.0003L},
    {1, -1, -2,  2, -0.372L, -0.19L,  0.000L, -0.0027L},
    {0,  0,  4,  0,  0.418L,  0.00L,  0.000L,  0.0000L},
    {3,  0,  2,  0, -0.330L, -0.04L,  0.000L,  0.0000L},
};

// Latitude series.
constexpr LatitudeTerm LatitudeTerms[] = {
//    p   q  r   s         cN
    { 0,  0, 1, -2, -526.069L},
    { 0,  0, 1, -4,   -3.352L},
    { 1,  0, 1, -2,   44.297L},
    { 1,  0, 1, -4,   -6.000L},
    {-1,  0, 1,  0,   20.599L},
    {-1,  0, 1, -2,  -30.598L},
    {-2,  0, 1,  0,  -24.649L},
    {-2,  0, 1, -2,   -2.000L},
    { 0,  1, 1, -2,  -22.571L},
    { 0, -1, 1, -2,   10.985L},
};
// clang-format on

static_assert(std::size(MainTerms1) == 35 && std::size(MainTerms2) == 46 && std::size(MainTerms3) == 23 &&
              std::size(LatitudeTerms) == 10);

// Largest multiples that the tables of the four arguments hold: l, l', F, D.
constexpr int LargestMultipleL = 4, LargestMultipleLPrime = 3, LargestMultipleF = 4, LargestMultipleD = 6;

constexpr bool Within(int multiple, int largest) {
    return multiple >= -largest && multiple <= largest;
}

// Every term's multipliers lie within the tables, and none is all zero.
template <typename Term, std::size_t N> constexpr bool TermsFitTables(const Term (&terms)[N]) {
    for (const Term& t : terms) {
        if (!Within(t.p, LargestMultipleL) || !Within(t.q, LargestMultipleLPrime) ||
            !Within(t.r, LargestMultipleF) || !Within(t.s, LargestMultipleD))
            return false;
        if (t.p == 0 && t.q == 0 && t.r == 0 && t.s == 0) return false;
    }
    return true;
}
static_assert(TermsFitTables(MainTerms1) && TermsFitTables(MainTerms2) && TermsFitTables(MainTerms3) &&
              TermsFitTables(LatitudeTerms));

// 2 pi rounded as the theory uses it, and arcseconds in a radian.
constexpr Real TwoPiRounded = 6.283185308L;
constexpr Real ArcsecondsPerRadian = 206264.81L;

// Fractional part in [0, 1).
Real PFrac(Real x) {
    Real f = x - std::trunc(x);
    if (f < 0) {
        f = f + 1;
        if (f >= 1) f = 0; // a tiny negative fraction plus 1 can round to 1 itself
    }
    return f;
}

// Sine of x revolutions.
Real Sin1(Real x) {
    return std::sin(TwoPiRounded * PFrac(x));
}

// Cosines and sines of j times one argument, each scaled by factor^|j|, for
// j = -largestMultiple .. largestMultiple (at most 6).
struct MultipleTable {
    CosSin entry[13];

    MultipleTable(Real argument, Real factor, int largestMultiple) {
        at(0) = CosSin{};
        at(1) = CosSin{factor * std::cos(argument), factor * std::sin(argument)};
        for (int j = 2; j <= largestMultiple; ++j)
            at(j) = AngleSum(at(j - 1), at(1));
        for (int j = 1; j <= largestMultiple; ++j)
            at(-j) = CosSin{at(j).c, -at(j).s};
    }
    CosSin& at(int j) { return entry[j + 6]; }
    const CosSin& at(int j) const { return entry[j + 6]; }
};

struct ArgumentTables {
    MultipleTable l, lPrime, f, d;

    // Cosine and sine of p*l + q*l' + r*F + s*D, scaled by the factors.
    CosSin Argument(int p, int q, int r, int s) const {
        CosSin xy;
        if (p != 0) xy = AngleSum(xy, l.at(p));
        if (q != 0) xy = AngleSum(xy, lPrime.at(q));
        if (r != 0) xy = AngleSum(xy, f.at(r));
        if (s != 0) xy = AngleSum(xy, d.at(s));
        return xy;
    }
};

} // namespace

void MoonPosition(Real T, Real& longitude, Real& latitude, Real& distance) {
    const Real t2 = T * T;

    // Long-period corrections of the mean arguments (arcseconds) and of the
    // inclination factor (dimensionless).
    const Real a1 = Sin1(0.19833L + 0.05611L * T);
    const Real a2 = Sin1(0.27869L + 0.04508L * T);
    const Real a3 = Sin1(0.16827L - 0.36903L * T);
    const Real a4 = Sin1(0.34734L - 5.37261L * T);
    const Real a5 = Sin1(0.10498L - 5.37899L * T);
    const Real a6 = Sin1(0.42681L - 0.41855L * T);
    const Real a7 = Sin1(0.14943L - 5.37511L * T);
    const Real dL0 = 0.84L * a1 + 0.31L * a2 + 14.27L * a3 + 7.26L * a4 + 0.28L * a5 + 0.24L * a6;
    const Real dl = 2.94L * a1 + 0.31L * a2 + 14.27L * a3 + 9.34L * a4 + 1.12L * a5 + 0.83L * a6;
    const Real dls = -6.40L * a1 - 1.89L * a6;
    const Real dF =
        0.21L * a1 + 0.31L * a2 + 14.27L * a3 - 88.70L * a4 - 15.30L * a5 + 0.24L * a6 - 1.86L * a7;
    const Real dD = dL0 - dls;
    const Real dGamma = -3.332e-6L * Sin1(0.59734L - 5.37261L * T) -
                        5.39e-7L * Sin1(0.35498L - 5.37899L * T) - 6.4e-8L * Sin1(0.39943L - 5.37511L * T);

    // Mean arguments in radians: the Moon's mean longitude L0, l, l', F and D,
    // each from a polynomial in revolutions plus its correction.
    const Real L0 =
        TwoPiRounded * PFrac(0.60643382L + 1336.85522467L * T - 0.00000313L * t2) + dL0 / ArcsecondsPerRadian;
    const Real l =
        TwoPiRounded * PFrac(0.37489701L + 1325.55240982L * T + 0.00002565L * t2) + dl / ArcsecondsPerRadian;
    const Real ls =
        TwoPiRounded * PFrac(0.99312619L + 99.99735956L * T - 0.00000044L * t2) + dls / ArcsecondsPerRadian;
    const Real F =
        TwoPiRounded * PFrac(0.25909118L + 1342.2278298L * T - 0.00000892L * t2) + dF / ArcsecondsPerRadian;
    const Real D =
        TwoPiRounded * PFrac(0.82736186L + 1236.85308708L * T - 0.00000397L * t2) + dD / ArcsecondsPerRadian;

    // The factors carry the eccentricity of the Sun's orbit (l') and the
    // inclination (F) into every term, raised to the power of the multiplier.
    const ArgumentTables tables{
        MultipleTable(l, 1.000002208L, LargestMultipleL),
        MultipleTable(ls, 0.997504612L - 0.002495388L * T, LargestMultipleLPrime),
        MultipleTable(F, 1.000002708L + 139.978L * dGamma, LargestMultipleF),
        MultipleTable(D, 1, LargestMultipleD),
    };

    Real dLambda = 0;     // longitude, arcseconds
    Real dS = 0;          // argument of latitude, arcseconds
    Real gamma1C = 0;     // latitude amplitude, arcseconds
    Real sinPi = 3422.7L; // horizontal parallax, arcseconds
    auto addMain = [&](const auto& terms) {
        for (const MainTerm& t : terms) {
            const CosSin xy = tables.Argument(t.p, t.q, t.r, t.s);
            dLambda += t.cL * xy.s;
            dS += t.cS * xy.s;
            gamma1C += t.cG * xy.c;
            sinPi += t.cP * xy.c;
        }
    };
    addMain(MainTerms1);
    addMain(MainTerms2);
    addMain(MainTerms3);

    Real n = 0; // latitude series, arcseconds
    for (const LatitudeTerm& t : LatitudeTerms)
        n += t.cN * tables.Argument(t.p, t.q, t.r, t.s).s;

    // Planetary terms of the longitude.
    dLambda += 0.82L * Sin1(0.7736L - 62.5512L * T) + 0.31L * Sin1(0.0466L - 125.1025L * T) +
               0.35L * Sin1(0.5785L - 25.1042L * T) + 0.66L * Sin1(0.4591L + 1335.8075L * T) +
               0.64L * Sin1(0.3130L - 91.5680L * T) + 1.14L * Sin1(0.1480L + 1331.2898L * T) +
               0.21L * Sin1(0.5918L + 1056.5859L * T) + 0.44L * Sin1(0.5784L + 1322.8595L * T) +
               0.24L * Sin1(0.2275L - 5.7374L * T) + 0.28L * Sin1(0.2965L + 2.6929L * T) +
               0.33L * Sin1(0.3132L + 6.3368L * T);

    longitude = PFrac((L0 + dLambda / ArcsecondsPerRadian) / TwoPiRounded) * 360 / 180 * Pi;
    if (longitude >= TwoPi) longitude = 0; // the products can round up to 2 pi itself
    const Real S = F + dS / ArcsecondsPerRadian;
    latitude = ((1.000002708L + 139.978L * dGamma) * (18519.7L + gamma1C) * std::sin(S) -
                6.24L * std::sin(3 * S) + n) /
               3600 * Pi / 180;
    distance = ArcsecondsPerRadian / (0.999953253L * sinPi);
}

} // namespace astro
