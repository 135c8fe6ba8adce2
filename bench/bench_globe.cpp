// One drawing of the globe: the shipped coastlines and the 30° grid at an
// Earth radius of 300 pixels, seen through an orthographic rotation, painted
// into the canvas; and the same with the lines thrown away, to tell the cost
// of transforming and projecting from the cost of painting.
//
// ORVANDEL_BENCH_PICTURE=<file.png> saves one drawing on a dark grey
// canvas (the grid is black).
#include <benchmark/benchmark.h>

#include "astro/Vectors.h"
#include "bench/BenchSupport.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

using astro::Real;

constexpr Real EarthRadiusPx = 300;
constexpr Real CentreX = 400, CentreY = 400;

astro::Matrix3 view; // Earth-fixed to view coordinates: y is the depth (negative faces the viewer)

// The view from above 50° N, 10° E: turn that meridian to the front (-y),
// then tilt the globe about X until 50° N faces the viewer.
void SetUpView() {
    astro::Matrix3 spin, tilt;
    astro::RotationAboutZ(spin, -(10 * astro::Pi / 180) - astro::Pi / 2);
    astro::RotationAboutX(tilt, 50 * astro::Pi / 180);
    astro::MultiplyMatrices(tilt, spin, view);
}

earth::GlobePoint Transform(const earth::GlobePoint& p) {
    earth::GlobePoint v = p;
    earth::ApplyMatrixToGlobePoint(view, v);
    earth::GlobePointToSpherical(v);
    return v;
}

bool Visible(const earth::GlobePoint& p) {
    return p.y < 0 && p.x * p.x + p.z * p.z < 0.95f;
}

void Project(const earth::GlobePoint& p, std::int32_t& px, std::int32_t& py) {
    px = astro::RoundToInt32(EarthRadiusPx * p.x + CentreX);
    py = astro::RoundToInt32(CentreY - EarthRadiusPx * p.z);
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
