#include "astro/Vectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace astro {
namespace {

constexpr Real Tight = 1e-17L; // a few units in the last place of an angle
const Real NaN = std::numeric_limits<Real>::quiet_NaN();
const Real Inf = std::numeric_limits<Real>::infinity();

struct AngleCase {
    const char* name;
    Real (*function)(Real);
    Real argument;
    Real expected;
};

TEST(AngleFunctions, SineAndCosineBranches) {
    const AngleCase cases[] = {
        {"asin(1) exactly", ArcSine, 1, Pi / 2},
        {"asin(-1) exactly", ArcSine, -1, -Pi / 2},
        {"asin small returned unchanged", ArcSine, 5e-8L, 5e-8L},
        {"asin 1e-7 still unchanged", ArcSine, 1e-7L, 1e-7L},
        {"asin 0.5", ArcSine, 0.5L, Pi / 6},
        {"asin -0.5", ArcSine, -0.5L, -Pi / 6},
        {"asin clamped above 1", ArcSine, 1 + 1e-15L, Pi / 2},
        {"asin clamped below -1", ArcSine, -1.5L, -Pi / 2},
        {"acos(0)", ArcCosine, 0, Pi / 2},
        {"acos(1)", ArcCosine, 1, 0},
        {"acos(-1)", ArcCosine, -1, Pi},
        {"acos 0.5", ArcCosine, 0.5L, Pi / 3},
        {"acos -0.5", ArcCosine, -0.5L, 2 * Pi / 3},
        {"acos clamped above 1", ArcCosine, 1 + 1e-15L, 0},
        {"acos clamped below -1", ArcCosine, -1 - 1e-15L, Pi},
    };
    for (const AngleCase& c : cases) {
        EXPECT_NEAR(c.function(c.argument), c.expected, Tight) << c.name;
    }
    // The exact branches return exactly.
    EXPECT_EQ(ArcSine(1), Pi / 2);
    EXPECT_EQ(ArcSine(-1), -Pi / 2);
    EXPECT_EQ(ArcSine(5e-8L), 5e-8L);
    EXPECT_EQ(ArcCosine(0), Pi / 2);
}

TEST(AngleFunctions, AngleOfPointQuadrants) {
    struct Case {
        const char* name;
        Real y, x, expected;
    } const cases[] = {
        {"origin", 0, 0, 0},
        {"negative x axis gives +pi", 0, -1, Pi},
        {"negative zero y on negative x axis", -0.0L, -1, Pi},
        {"positive y axis", 1, 0, Pi / 2},
        {"negative y axis", -1, 0, -Pi / 2},
        {"diagonal through |y| >= |x|", 1, 1, Pi / 4},
        {"first quadrant, |y| < |x|", 1, 2, std::atan(0.5L)},
        {"second quadrant", 1, -2, Pi - std::atan(0.5L)},
        {"third quadrant", -2, -1, -(Pi - std::atan(2.0L))},
        {"fourth quadrant", -1, 3, -std::atan(1 / 3.0L)},
        {"positive x axis", 0, 5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(AngleOfPoint(c.y, c.x), c.expected, Tight) << c.name;
    }
    EXPECT_EQ(AngleOfPoint(0, -1), Pi);
}

TEST(AngleFunctions, NanPassesThrough) {
    EXPECT_TRUE(std::isnan(ArcSine(NaN)));
    EXPECT_TRUE(std::isnan(ArcCosine(NaN)));
    EXPECT_TRUE(std::isnan(AngleOfPoint(NaN, 1)));
    EXPECT_TRUE(std::isnan(AngleOfPoint(1, NaN)));
    EXPECT_EQ(ArcSine(Inf), Pi / 2);
    EXPECT_EQ(ArcCosine(-Inf), Pi);
}

TEST(Vectors, MakeVectorStoresLength) {
    const Vector3 v = MakeVector(2, -3, 6);
    EXPECT_EQ(v.X, 2);
    EXPECT_EQ(v.Y, -3);
    EXPECT_EQ(v.Z, 6);
    EXPECT_EQ(v.Length, 7);
}

TEST(Vectors, NormaliseOfZeroVectorKeepsComponentsAndSetsLengthOne) {
    Vector3 zero = MakeVector(0, 0, 0);
    Normalise(zero);
    EXPECT_EQ(zero.X, 0);
    EXPECT_EQ(zero.Y, 0);
    EXPECT_EQ(zero.Z, 0);
    EXPECT_EQ(zero.Length, 1);

    Vector3 v = MakeVector(0, 3, 4);
    Normalise(v);
    EXPECT_NEAR(v.Y, 0.6L, Tight);
    EXPECT_NEAR(v.Z, 0.8L, Tight);
    EXPECT_EQ(v.Length, 1);
}

TEST(Vectors, ScaleByMinusTwoGivesOppositeVectorOfDoubleLength) {
    Vector3 v = MakeVector(1, 2, 2); // Length 3
    ScaleVector(v, -2);
    EXPECT_EQ(v.X, -2);
    EXPECT_EQ(v.Y, -4);
    EXPECT_EQ(v.Z, -4);
    EXPECT_EQ(v.Length, 6);
}

TEST(Vectors, ResultMayBeAnInput) {
    const Vector3 a0 = MakeVector(1, 2, 3), b0 = MakeVector(-4, 5, 0.5L);
    Vector3 a = a0;
    VectorSum(a, b0, a);
    EXPECT_EQ(a.X, -3);
    EXPECT_EQ(a.Y, 7);
    EXPECT_EQ(a.Z, 3.5L);
    EXPECT_NEAR(a.Length, std::sqrt(9 + 49 + 12.25L), Tight);

    Vector3 b = b0;
    VectorDifference(a0, b, b);
    EXPECT_EQ(b.X, 5);
    EXPECT_EQ(b.Y, -3);
    EXPECT_EQ(b.Z, 2.5L);

    // a x b with a = (1, 2, 3), b = (-4, 5, 0.5): (2*0.5 - 3*5, 3*(-4) - 1*0.5, 1*5 - 2*(-4)).
    Vector3 c = a0;
    CrossProduct(c, b0, c);
    EXPECT_EQ(c.X, -14);
    EXPECT_EQ(c.Y, -12.5L);
    EXPECT_EQ(c.Z, 13);
    EXPECT_NEAR(c.Length, std::sqrt(196 + 156.25L + 169), Tight);
    Vector3 d = b0;
    CrossProduct(a0, d, d);
    EXPECT_EQ(d.X, -14);
    EXPECT_EQ(d.Y, -12.5L);
    EXPECT_EQ(d.Z, 13);

    EXPECT_EQ(DotProduct(a0, b0), -4 + 10 + 1.5L);
}

TEST(Vectors, DotProductIgnoresStoredLength) {
    Vector3 a = MakeVector(1, 0, 0);
    a.Length = 100;
    EXPECT_EQ(DotProduct(a, a), 1);
}

TEST(Spherical, LongitudeOfNegativeYAxisIsThreeHalvesPi) {
    SphericalPos s;
    VectorToSpherical(MakeVector(0, -1, 0), s);
    EXPECT_NEAR(s.Longitude, 3 * Pi / 2, Tight);
    EXPECT_EQ(s.Latitude, 0);
    EXPECT_EQ(s.Radius, 1);
}

TEST(Spherical, PolesAndZeroVector) {
    struct Case {
        const char* name;
        Real z, latitude;
    } const cases[] = {{"north pole", 2, Pi / 2}, {"south pole", -0.5L, -Pi / 2}, {"zero vector", 0, 0}};
    for (const Case& c : cases) {
        SphericalPos s;
        VectorToSpherical(MakeVector(0, 0, c.z), s);
        EXPECT_EQ(s.Latitude, c.latitude) << c.name;
        EXPECT_EQ(s.Longitude, 0) << c.name;
    }
}

TEST(Spherical, LongitudeStaysBelowTwoPi) {
    // A tiny negative angle: adding 2 pi would round to 2 pi itself.
    SphericalPos s;
    VectorToSpherical(MakeVector(1, -1e-30L, 0), s);
    EXPECT_GE(s.Longitude, 0);
    EXPECT_LT(s.Longitude, TwoPi);
}

TEST(Spherical, RadiusIsTheStoredLength) {
    Vector3 v = MakeVector(3, 4, 0);
    v.X = 30; // changed directly, Length left as it was
    SphericalPos s;
    VectorToSpherical(v, s);
    EXPECT_EQ(s.Radius, 5);
}

TEST(Spherical, RoundTripAndNegativeRadius) {
    const SphericalPos in{2.5L, 4.0L, -0.7L};
    Vector3 v;
    SphericalToVector(in, v);
    EXPECT_EQ(v.Length, 2.5L);
    EXPECT_NEAR(v.X, 2.5L * std::cos(-0.7L) * std::cos(4.0L), Tight);
    EXPECT_NEAR(v.Z, 2.5L * std::sin(-0.7L), Tight);
    SphericalPos out;
    VectorToSpherical(v, out);
    EXPECT_EQ(out.Radius, 2.5L);
    EXPECT_NEAR(out.Longitude, 4.0L, 1e-17L);
    EXPECT_NEAR(out.Latitude, -0.7L, 1e-17L);

    SphericalToVector(SphericalPos{-2, 0, 0}, v);
    EXPECT_EQ(v.Length, -2); // copied, not recomputed
    EXPECT_EQ(v.X, -2);
}

TEST(Matrices, RotationsTurnCounterClockwiseAboutTheirAxis) {
    struct Case {
        const char* name;
        void (*rotation)(Matrix3&, Real);
        Vector3 in;
        Real x, y, z;
    } const cases[] = {
        {"about X: +Y to +Z", RotationAboutX, MakeVector(0, 1, 0), 0, 0, 1},
        {"about Y: +Z to +X", RotationAboutY, MakeVector(0, 0, 1), 1, 0, 0},
        {"about Z: +X to +Y", RotationAboutZ, MakeVector(1, 0, 0), 0, 1, 0},
    };
    for (const Case& c : cases) {
        Matrix3 m;
        m(0, 0) = 7; // every element is reset first
        c.rotation(m, Pi / 2);
        Vector3 v = c.in;
        ApplyMatrix(m, v);
        EXPECT_NEAR(v.X, c.x, Tight) << c.name;
        EXPECT_NEAR(v.Y, c.y, Tight) << c.name;
        EXPECT_NEAR(v.Z, c.z, Tight) << c.name;
        EXPECT_NEAR(v.Length, 1, Tight) << c.name;
    }
}

TEST(Matrices, ApplyMatrixRecomputesLength) {
    Matrix3 m;
    m(0, 0) = 2;
    m(1, 1) = 2;
    m(2, 2) = 2;
    m(0, 2) = 1;
    Vector3 v = MakeVector(1, 1, 1);
    ApplyMatrix(m, v);
    EXPECT_EQ(v.X, 3);
    EXPECT_EQ(v.Y, 2);
    EXPECT_EQ(v.Z, 2);
    EXPECT_NEAR(v.Length, std::sqrt(17.0L), Tight);
}

TEST(Matrices, MultiplyInPlaceEqualsMultiplyIntoFreshMatrix) {
    Matrix3 a, b;
    RotationAboutX(a, 0.3L);
    RotationAboutZ(b, -1.1L);
    a(0, 1) += 0.25L; // not a pure rotation: the order of the factors shows
    Matrix3 expected;
    MultiplyMatrices(a, b, expected);
    // (a b)(0, 0) = sum over k of a(0, k) b(k, 0).
    EXPECT_NEAR(expected(0, 0), a(0, 0) * b(0, 0) + a(0, 1) * b(1, 0) + a(0, 2) * b(2, 0), Tight);

    Matrix3 intoA = a;
    MultiplyMatrices(intoA, b, intoA);
    Matrix3 intoB = b;
    MultiplyMatrices(a, intoB, intoB);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(intoA(i, j), expected(i, j)) << i << j;
            EXPECT_EQ(intoB(i, j), expected(i, j)) << i << j;
        }
    }
    Matrix3 reversed;
    MultiplyMatrices(b, a, reversed);
    EXPECT_GT(std::fabs(reversed(0, 0) - expected(0, 0)) + std::fabs(reversed(1, 0) - expected(1, 0)), 1e-3L);
}

} // namespace
} // namespace astro
