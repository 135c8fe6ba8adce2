#include "astro/Vectors.h"

#include <cmath>

namespace astro {

Real ArcSine(Real x) {
    const Real ax = std::fabs(x);
    if (ax >= 1) return x > 0 ? Pi / 2 : -Pi / 2; // exactly +-1, or clamped
    if (ax <= 1.0e-7L) return x;
    return std::atan(x / std::sqrt(1 - x * x)); // NaN falls through to here
}

Real ArcCosine(Real x) {
    if (x >= 1) return 0; // exactly 1 gives arctan(0) = 0; beyond 1 is clamped
    if (x <= -1) return Pi;
    if (x > 0) return std::atan(std::sqrt(1 / (x * x) - 1));
    if (x == 0) return Pi / 2;
    return Pi - std::atan(std::sqrt(1 / (x * x) - 1)); // x < 0, or NaN
}

Real AngleOfPoint(Real y, Real x) {
    if (x == 0 && y == 0) return 0;
    const Real ax = std::fabs(x);
    const Real ay = std::fabs(y);
    // The angle of (|x|, |y|) in [0, pi/2], with the arctangent's argument
    // never above 1.
    Real w = ay < ax ? std::atan(ay / ax) : Pi / 2 - std::atan(ax / ay);
    if (x < 0) w = Pi - w;
    if (y < 0) w = -w;
    return w;
}

Vector3 MakeVector(Real x, Real y, Real z) {
    Vector3 v;
    v.X = x;
    v.Y = y;
    v.Z = z;
    v.Length = std::sqrt(x * x + y * y + z * z);
    return v;
}

void Normalise(Vector3& v) {
    if (v.Length > 0) {
        v.X = v.X / v.Length;
        v.Y = v.Y / v.Length;
        v.Z = v.Z / v.Length;
    }
    v.Length = 1;
}

void VectorSum(const Vector3& a, const Vector3& b, Vector3& r) {
    const Vector3 p = a, q = b;
    r = MakeVector(p.X + q.X, p.Y + q.Y, p.Z + q.Z);
}

void VectorDifference(const Vector3& a, const Vector3& b, Vector3& r) {
    const Vector3 p = a, q = b;
    r = MakeVector(p.X - q.X, p.Y - q.Y, p.Z - q.Z);
}

void CrossProduct(const Vector3& a, const Vector3& b, Vector3& r) {
    const Vector3 p = a, q = b;
    r = MakeVector(p.Y * q.Z - p.Z * q.Y, p.Z * q.X - p.X * q.Z, p.X * q.Y - p.Y * q.X);
}

void ScaleVector(Vector3& v, Real s) {
    v.Length = v.Length * s;
    v.X = v.X * s;
    v.Y = v.Y * s;
    v.Z = v.Z * s;
    v.Length = std::fabs(v.Length);
}

Real DotProduct(const Vector3& a, const Vector3& b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

void SphericalToVector(const SphericalPos& s, Vector3& v) {
    const Real cosLat = std::cos(s.Latitude);
    v.X = s.Radius * cosLat * std::cos(s.Longitude);
    v.Y = s.Radius * cosLat * std::sin(s.Longitude);
    v.Z = s.Radius * std::sin(s.Latitude);
    v.Length = s.Radius;
}

void VectorToSpherical(const Vector3& v, SphericalPos& s) {
    const Vector3& w = v;
    s.Radius = w.Length;
    Real longitude = AngleOfPoint(w.Y, w.X);
    if (longitude < 0) {
        longitude += TwoPi;
        // A negative angle smaller than half the spacing of reals at 2 pi
        // would otherwise come out as 2 pi itself.
        if (longitude >= TwoPi) longitude = 0;
    }
    s.Longitude = longitude;
    const Real rho = std::sqrt(w.X * w.X + w.Y * w.Y);
    if (rho == 0) {
        s.Latitude = w.Z > 0 ? Pi / 2 : (w.Z < 0 ? -Pi / 2 : 0);
    } else {
        s.Latitude = std::atan(w.Z / rho);
    }
}

void ApplyMatrix(const Matrix3& m, Vector3& v) {
    const Real in[3] = {v.X, v.Y, v.Z};
    Real out[3];
    for (int i = 0; i < 3; ++i) {
        Real sum = 0;
        for (int j = 0; j < 3; ++j)
            sum += m(i, j) * in[j];
        out[i] = sum;
    }
    v = MakeVector(out[0], out[1], out[2]);
}

void RotationAboutX(Matrix3& m, Real a) {
    const Real c = std::cos(a), s = std::sin(a);
    m = Matrix3{};
    m(0, 0) = 1;
    m(1, 1) = c;
    m(1, 2) = -s;
    m(2, 1) = s;
    m(2, 2) = c;
}

void RotationAboutY(Matrix3& m, Real a) {
    const Real c = std::cos(a), s = std::sin(a);
    m = Matrix3{};
    m(0, 0) = c;
    m(0, 2) = s;
    m(1, 1) = 1;
    m(2, 0) = -s;
    m(2, 2) = c;
}

void RotationAboutZ(Matrix3& m, Real a) {
    const Real c = std::cos(a), s = std::sin(a);
    m = Matrix3{};
    m(0, 0) = c;
    m(0, 1) = -s;
    m(1, 0) = s;
    m(1, 1) = c;
    m(2, 2) = 1;
}

void MultiplyMatrices(const Matrix3& a, const Matrix3& b, Matrix3& r) {
    Matrix3 product;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            Real sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += a(i, k) * b(k, j);
            product(i, j) = sum;
        }
    }
    r = product;
}

} // namespace astro
