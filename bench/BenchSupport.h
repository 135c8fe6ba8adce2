// What the drawing benchmarks share: their main (Qt on the offscreen platform,
// the benchmarks, the picture to look at), a fresh canvas, and the shipped
// coastlines.
//
// ORVANDEL_BENCH_PICTURE=<file.png> saves one picture after the benchmarks.
// The coastlines are read from data/ECLGRAPH.DAT of the source folder, or
// from $ORVANDEL_SOURCE_DIR/data/ECLGRAPH.DAT.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace bench {

// The shipped coastline file.
inline std::string CoastlineFile() {
    if (const char* dir = std::getenv("ORVANDEL_SOURCE_DIR")) return std::string(dir) + "/data/ECLGRAPH.DAT";
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "ECLGRAPH.DAT").string();
}

// Loads the shipped coastlines into the globe's table once; a benchmark that
// cannot have them is skipped with the reason.
inline bool LoadShippedCoastlines(benchmark::State& state) {
    earth::GlobeState& globe = earth::Globe();
    if (globe.outlines.loaded) return true;
    try {
        const std::string path = CoastlineFile();
        earth::ParseErdeBin(earth::ParseOutlineText(window::ReadFileBytes(path), path), globe.outlines);
        globe.outlines.loaded = true;
        return true;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return false;
    }
}

// A black canvas of the given size with the program's palette and its text
// style, as a run starts on it.
inline void NewCanvas(int width, int height) {
    window::ResetDrawingState();
    window::Canvas() = QImage(width, height, QImage::Format_RGB32);
    window::Canvas().fill(Qt::black);
    window::InitPalette();
    window::SetTextStyle("Courier", 10, 0);
}

// The main of a drawing benchmark: a QApplication on the offscreen platform
// (unless QT_QPA_PLATFORM names another), setUp(), the benchmarks named on
// the command line; then, where ORVANDEL_BENCH_PICTURE names a file,
// drawPicture() and the canvas saved into that file. Returns main's status.
template <class SetUp, class DrawPicture>
int RunDrawingBenchmarks(int argc, char** argv, SetUp setUp, DrawPicture drawPicture) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    setUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (const char* picture = std::getenv("ORVANDEL_BENCH_PICTURE")) {
        drawPicture();
        window::Canvas().save(QString::fromLocal8Bit(picture));
    }
    return 0;
}

} // namespace bench
