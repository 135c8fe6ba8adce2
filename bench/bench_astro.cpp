// Cost of one position of the Sun and of the Moon and of one back conversion
// of a Julian date: the work the animation does for every picture.
#include <benchmark/benchmark.h>

#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"

namespace {

using astro::Real;

// Times spread over a few years so that the arguments vary from call to call.
Real NextT(Real& T) {
    T += 0.00137L;
    if (T > 0.1L) T = -0.1L;
    return T;
}

void BM_SunPosition(benchmark::State& state) {
    Real T = -0.1L;
    for (auto _ : state) {
        Real longitude, latitude, distance;
        astro::SunPosition(NextT(T), longitude, latitude, distance);
        benchmark::DoNotOptimize(longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(distance);
    }
}
BENCHMARK(BM_SunPosition);

void BM_MoonPosition(benchmark::State& state) {
    Real T = -0.1L;
    for (auto _ : state) {
        Real longitude, latitude, distance;
        astro::MoonPosition(NextT(T), longitude, latitude, distance);
        benchmark::DoNotOptimize(longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(distance);
    }
}
BENCHMARK(BM_MoonPosition);

void BM_CivilFromJulianDate(benchmark::State& state) {
    Real jd = 2451545.0L;
    for (auto _ : state) {
        astro::CalendarDate date;
        Real clock;
        jd += 0.0417L; // a little over an hour: every clock value, midnight roll-overs included
        astro::CivilFromJulianDate(date, clock, jd);
        benchmark::DoNotOptimize(date);
        benchmark::DoNotOptimize(clock);
    }
}
BENCHMARK(BM_CivilFromJulianDate);

} // namespace

BENCHMARK_MAIN();
