// Angle functions, three-dimensional vectors, spherical positions and 3x3
// rotation matrices: the arithmetic on which every position of the program is
// built. All angles are radians; all functions are pure and write only the
// record that receives their result.
#pragma once

#include "astro/Numeric.h"

namespace astro {

// A vector with its length kept as a stored field. Every operation below that
// builds or changes a vector sets Length; it equals the Euclidean length of
// (X, Y, Z) except after Normalise of a zero vector (Length 1) and after
// SphericalToVector with a negative radius (Length is the radius as given).
// Changing X, Y or Z directly leaves Length as it was.
struct Vector3 {
    Real Length = 0;
    Real X = 0;
    Real Y = 0;
    Real Z = 0;
};

// Radius, then the angle in the X-Y plane counted from +X toward +Y, then the
// angle above the X-Y plane toward +Z. Serves for ecliptic (longitude,
// latitude), equatorial (right ascension, declination) and horizon (azimuth,
// altitude) positions alike.
struct SphericalPos {
    Real Radius = 0;
    Real Longitude = 0;
    Real Latitude = 0;
};

// Nine reals, row-major; Element[i][j] is row i, column j. A matrix multiplies
// a column vector (X, Y, Z) from the left.
struct Matrix3 {
    Real Element[3][3] = {};

    Real& operator()(int row, int column) { return Element[row][column]; }
    const Real& operator()(int row, int column) const { return Element[row][column]; }
};

// Angle in [-pi/2, pi/2] whose sine is x. x = +-1 gives exactly +-pi/2, and
// |x| <= 1e-7 is returned unchanged. Values beyond +-1 (a sine assembled from
// rounded products) are clamped to +-1. NaN gives NaN.
// The cosine and sine of one angle, for the trigonometric series of the Sun
// and the Moon, which build multiples and sums of their arguments from them.
struct CosSin {
    Real c = 1;
    Real s = 0;
};

// The cosine and sine of the sum of two angles, from theirs (the addition
// theorems): no call of cos or sin.
constexpr CosSin AngleSum(const CosSin& a, const CosSin& b) {
    return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

Real ArcSine(Real x);

// Angle in [0, pi] whose cosine is x; values beyond +-1 are clamped. NaN gives
// NaN.
Real ArcCosine(Real x);

// Angle in (-pi, pi] of the point (x, y): first the sine-like component y,
// then the cosine-like component x. (0, 0) gives 0, y = 0 with x < 0 gives +pi;
// a negative zero counts as zero.
Real AngleOfPoint(Real y, Real x);

// The vector (x, y, z) with its Euclidean length.
Vector3 MakeVector(Real x, Real y, Real z);

// Divides X, Y, Z by Length when Length > 0; then Length := 1 in every case,
// so a zero vector keeps its components and gets Length 1.
void Normalise(Vector3& v);

// r := a + b, r := a - b, r := a x b, each with Length recomputed. The inputs
// are copied first, so r may be a or b.
void VectorSum(const Vector3& a, const Vector3& b, Vector3& r);
void VectorDifference(const Vector3& a, const Vector3& b, Vector3& r);
void CrossProduct(const Vector3& a, const Vector3& b, Vector3& r);

// Multiplies Length, X, Y and Z by s; then Length := |Length|.
void ScaleVector(Vector3& v, Real s);

// a.X*b.X + a.Y*b.Y + a.Z*b.Z; the Length fields are not used.
Real DotProduct(const Vector3& a, const Vector3& b);

// X = r cos(lat) cos(lon), Y = r cos(lat) sin(lon), Z = r sin(lat); Length is
// the radius copied, not recomputed (so it is negative for a negative radius).
void SphericalToVector(const SphericalPos& s, Vector3& v);

// Radius := v.Length copied; Longitude in [0, 2pi); Latitude =
// arctan(Z / sqrt(X^2 + Y^2)). On the Z axis (X = Y = 0) the latitude is
// +pi/2 or -pi/2 by the sign of Z, and 0 for the zero vector.
void VectorToSpherical(const Vector3& v, SphericalPos& s);

// v := m v, with Length recomputed.
void ApplyMatrix(const Matrix3& m, Vector3& v);

// Active right-handed rotations by the angle a about the X, Y and Z axes:
// applied with ApplyMatrix, a positive angle turns a vector counter-clockwise
// as seen from the positive end of the axis (about Z, +X goes toward +Y).
void RotationAboutX(Matrix3& m, Real a);
void RotationAboutY(Matrix3& m, Real a);
void RotationAboutZ(Matrix3& m, Real a);

// r := a b. Accumulated in a temporary, so r may be a or b.
void MultiplyMatrices(const Matrix3& a, const Matrix3& b, Matrix3& r);

} // namespace astro
