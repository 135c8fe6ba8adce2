// One frame of the outside view on a 1920x1080 canvas with the shipped
// coastlines, in each of the three perspectives: the Moon of the previous
// frame erased, then DrawOutsideFrame (scene, panel, horizon line and Sun in
// perspective 2, Moon and Earth with its globe), as DrawFrame draws it
// without its wait; the instant advances by ten minutes a frame.
//
// The site is 54.3° N, 10.1° E from 7.12.2026 14.17 MEZ on. Repetitions give
// the median. ORVANDEL_BENCH_PICTURE=<file.png> saves the last picture of
// perspective 0.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/Discs.h"
#include "app/MainLoop.h"
#include "app/OutsideView.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/TimeScales.h"
#include "bench/BenchSupport.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace {

using astro::Real;

constexpr int CanvasWidth = 1920, CanvasHeight = 1080;
constexpr Real StepDays = 10.0L / 1440;

// A run in the outside view as a parameter file would start it (no opening
// trail), in the given perspective, on a black canvas.
void StartRun(std::uint8_t perspective) {
    app::ResetParameters();
    app::ResetRunState();
    app::ResetScene();
    app::ResetDiscState();
    app::ResetOutsideView();
    window::ResetWorldWindow();
    bench::NewCanvas(CanvasWidth, CanvasHeight);
    app::InstallGlobeHooks();

    app::Parameters& p = app::Params();
    p.viewMode = 1;
    p.startedWithFile = true;
    p.latitudeText = "54.3";
    p.longitudeText = "10.1";
    p.latitude = 54.3L * astro::Degree;
    p.longitude = 10.1L * astro::Degree;
    p.sinObliquity = std::sin(app::ObliquityRadians);
    p.cosObliquity = std::cos(app::ObliquityRadians);
    p.timeStep = StepDays;
    app::RunState& run = app::Run();
    run.currentJD = astro::JulianDateFromCivil({7, 12, 2026}, 14.17L);
    app::PrepareScene();
    app::PrepareOutsideView();
    run.perspective = perspective;
    if (perspective == 1) {
        run.viewMatrix = run.latitudeViewMatrix;
        run.inverseViewMatrix = run.latitudeViewInverse;
    }
    run.outsideScreenCleared = true;
}

// The frame of DrawFrame without the wait.
void Frame() {
    app::RunState& run = app::Run();
    app::DrawMoon(window::Black);
    app::DrawOutsideFrame();
    run.currentJD += StepDays;
}

void BM_DrawOutsideFrame(benchmark::State& state) {
    if (!bench::LoadShippedCoastlines(state)) return;
    StartRun(static_cast<std::uint8_t>(state.range(0)));
    Frame(); // builds the grid
    for (auto _ : state)
        Frame();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawOutsideFrame)
    ->ArgName("perspective")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    const int status = bench::RunDrawingBenchmarks(argc, argv, window::RegisterFontSubstitutions, [] {
        StartRun(0);
        Frame();
    });
    earth::ReleaseGlobe();
    return status;
}
