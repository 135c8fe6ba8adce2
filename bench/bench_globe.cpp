// One drawing of the globe: the shipped coastlines and the 30° grid at an
// Earth radius of 300 pixels, seen through an orthographic rotation, painted
// into the canvas; and the same with the lines thrown away, to tell the cost
// of transforming and projecting from the cost of painting.
//
// ORVANDEL_BENCH_PICTURE=<file.png> saves one drawing on a dark grey
// canvas (the grid is black).
#include <benchmark/benchmark.h>

#include <cmath>

#include "astro/Vectors.h"
#include "bench/BenchSupport.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

constexpr double EarthRadiusPx = 300;
constexpr double CentreX = 400, CentreY = 400;

astro::Matrix3 view; // Earth-fixed to view coordinates: y is the depth (negative faces the viewer)
// The hooks work as the outside view's: the turn in double precision (the
// drawing reads x, y, z alone), the pixels rounded in double.
double turn[3][3];

// The view from above 50° N, 10° E: turn that meridian to the front (-y),
// then tilt the globe about X until 50° N faces the viewer.
void SetUpView() {
    astro::Matrix3 spin, tilt;
    astro::RotationAboutZ(spin, -(10 * astro::Pi / 180) - astro::Pi / 2);
    astro::RotationAboutX(tilt, 50 * astro::Pi / 180);
    astro::MultiplyMatrices(tilt, spin, view);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            turn[i][j] = static_cast<double>(view(i, j));
}

earth::GlobePoint Transform(const earth::GlobePoint& p) {
    const double x = p.x, y = p.y, z = p.z;
    earth::GlobePoint v = p;
    v.x = static_cast<float>(turn[0][0] * x + turn[0][1] * y + turn[0][2] * z);
    v.y = static_cast<float>(turn[1][0] * x + turn[1][1] * y + turn[1][2] * z);
    v.z = static_cast<float>(turn[2][0] * x + turn[2][1] * y + turn[2][2] * z);
    return v;
}

bool Visible(const earth::GlobePoint& p) {
    return p.y < 0 && p.x * p.x + p.z * p.z < 0.95f;
}

void Project(const earth::GlobePoint& p, std::int32_t& px, std::int32_t& py) {
    px = astro::TruncToInt32(std::nearbyint(EarthRadiusPx * p.x + CentreX));
    py = astro::TruncToInt32(std::nearbyint(CentreY - EarthRadiusPx * p.z));
}

void IgnoreMove(std::int32_t, std::int32_t) {}
void IgnoreLine(std::int32_t, std::int32_t, int) {}

void Draw() {
    earth::DrawGlobe(Transform, Project, Visible, window::White, 2, true, 30, window::Black);
}

std::int64_t PointsDrawn() {
    std::int64_t n = 0;
    for (const earth::OutlineSegment& s : earth::Globe().outlines.segments)
        n += s.count;
    for (const earth::OutlineSegment& s : earth::Globe().grid.segments)
        n += s.count;
    return n;
}

void BM_DrawGlobe(benchmark::State& state) {
    if (!bench::LoadShippedCoastlines(state)) return;
    earth::Globe().lineSink = earth::WindowLineSink();
    Draw(); // builds the grid
    for (auto _ : state)
        Draw();
    state.SetItemsProcessed(state.iterations() * PointsDrawn());
}
BENCHMARK(BM_DrawGlobe)->Unit(benchmark::kMicrosecond);

void BM_DrawGlobeWithoutPainting(benchmark::State& state) {
    if (!bench::LoadShippedCoastlines(state)) return;
    earth::Globe().lineSink = {IgnoreMove, IgnoreLine};
    Draw();
    for (auto _ : state)
        Draw();
    earth::Globe().lineSink = earth::WindowLineSink();
    state.SetItemsProcessed(state.iterations() * PointsDrawn());
}
BENCHMARK(BM_DrawGlobeWithoutPainting)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    const int status = bench::RunDrawingBenchmarks(
        argc, argv,
        [] {
            window::ResetDrawingState();
            window::Canvas().fill(Qt::black);
            SetUpView();
        },
        [] {
            window::Canvas().fill(Qt::darkGray); // the grid is black
            earth::Globe().lineSink = earth::WindowLineSink();
            Draw();
        });
    earth::ReleaseGlobe();
    return status;
}
