// One frame of the inside view on a 1920x1080 canvas: the scene at the
// instant, the copy of the prepared background picture, the equator and the
// ecliptic (or neither), the date line, the Sun and the Moon. The instant
// moves on by five minutes per frame, as in a run.
//
// ORVANDEL_BENCH_PICTURE=<file.png> saves the last frame.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/TimeScales.h"
#include "bench/BenchSupport.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

using astro::Real;

constexpr Real Deg = astro::Pi / 180;
constexpr Real FiveMinutes = 5.0L / (24 * 60);

// A run's start at 52.5° N, 13.4° E on 17 March 2024, 17.00 MEZ, looking
// south with the 30° grid, as StartRun leaves it.
void StartRun() {
    app::ResetParameters();
    app::ResetRunState();
    app::ResetScene();
    app::ResetInsideView();
    app::Parameters& p = app::Params();
    p.sinObliquity = std::sin(app::ObliquityRadians);
    p.cosObliquity = std::cos(app::ObliquityRadians);
    p.eyePoint = astro::MakeVector(-1.05L, 0, 0.35L);
    p.viewMode = 0;
    p.latitudeText = "52.5";
    p.longitudeText = "13.4";
    p.latitude = 52.5L * Deg;
    p.longitude = 13.4L * Deg;
    p.centralAzimuth = 0;
    p.gridSpacing = 30 * Deg;
    p.startDay = 17;
    p.startMonth = 3;
    p.startYear = 2024;
    p.startTime = 17;
    app::PrepareScene();
    app::Run().currentJD = astro::JulianDateFromCivil({17, 3, 2024}, 17);
    app::PrepareInsideView();
}

void Frames(benchmark::State& state, bool lines) {
    StartRun();
    app::Params().drawEquator = lines;
    app::Params().drawEcliptic = lines;
    for (auto _ : state) {
        app::DrawInsideFrame();
        app::Run().currentJD += FiveMinutes;
    }
}

void BM_DrawInsideFrame(benchmark::State& state) {
    Frames(state, true);
}
BENCHMARK(BM_DrawInsideFrame)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_DrawInsideFrameWithoutEquatorAndEcliptic(benchmark::State& state) {
    Frames(state, false);
}
BENCHMARK(BM_DrawInsideFrameWithoutEquatorAndEcliptic)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// The run's start and its three background pictures (a run draws each when
// a frame first needs it), for comparison.
void BM_PrepareInsideViewAndPictures(benchmark::State& state) {
    for (auto _ : state) {
        app::ResetInsideView();
        app::PrepareInsideView();
        for (app::BackgroundIndex i : {app::NightPicture, app::TwilightPicture, app::DayPicture})
            app::BackgroundPicture(i);
    }
}
BENCHMARK(BM_PrepareInsideViewAndPictures)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunDrawingBenchmarks(
        argc, argv, [] { bench::NewCanvas(1920, 1080); },
        [] {
            StartRun();
            app::Params().drawEquator = app::Params().drawEcliptic = true;
            app::DrawInsideFrame();
        });
}
