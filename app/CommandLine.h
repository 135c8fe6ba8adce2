// The command lines of the two programs: Orvandel's options, its usage text,
// and the rules both programs share (the picture size). No Qt.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "astro/Numeric.h"

namespace app {

// A command line that cannot be used; what() is the German message. The
// program ends with status 2.
class CommandLineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The smallest picture: the views need a client area of at least 2 x 2
// pixels (MaxX and MaxY of at least 1); the largest one that an image holds.
inline constexpr std::int32_t MinPictureSide = 2;
inline constexpr std::int32_t MaxPictureSide = 32767;
// More pictures than any slide show needs, and few enough that their names
// and the table stay manageable.
inline constexpr std::int32_t MaxFrames = 1000000;

// A picture size "WxH" (or "WXH"): two unsigned decimal numbers from
// MinPictureSide to MaxPictureSide. False for anything else; width and
// height are then unspecified.
bool ParsePictureSize(std::string_view text, std::int32_t& width, std::int32_t& height);
// The German message for a bad size given to `option`.
std::string BadPictureSizeMessage(const std::string& option, const std::string& value);

struct ExportOptions {
    std::string folder;        // where the pictures and frames.csv go
    std::int32_t frames = 0;   // number of pictures, at least 1
    std::int32_t width = 1920; // picture size in pixels (the window's client area)
    std::int32_t height = 1080;
    std::string parameterFile;
};

// The Moon calendar of one month: a page written to `file`.
struct CalendarOptions {
    std::int32_t month = 1; // 1 .. 12
    std::int32_t year = 2000;
    astro::Real latitude = 54.3L;  // degrees, north positive: the program's default place
    astro::Real longitude = 10.1L; // degrees, east positive
    astro::Real clock = 21.00L;    // MEZ, hh.mm: the instant of each day's Moon
    std::string file;              // ends in .pdf or .png (any letter case)
    bool pdf = false;              // true: PDF, false: PNG
};

enum class CommandKind {
    Run,      // the interactive program (with or without a parameter file)
    Help,     // --help
    Version,  // --version
    Export,   // --export
    Calendar, // --kalender
};

struct CommandLine {
    CommandKind kind = CommandKind::Run;
    ExportOptions exportOptions;
    CalendarOptions calendarOptions;
};

// The arguments after the program name. A first argument that does not begin
// with "--" (or none) is the interactive program: that argument names the
// parameter file, as always. Otherwise the arguments are options: "--help",
// "--version", or "--export DIR --frames N [--size WxH] PARAMFILE" in any
// order; or "--kalender MM.JJJJ [--ort BREITE,LAENGE] [--uhrzeit hh.mm] DATEI"
// in any order (the place in degrees, "54.3,10.1" or with decimal commas
// "54,3,10,1"; latitude -90 to 90, longitude -180 to 180; the clock 0.00 to
// 23.59; month 1 to 12, year 1 to 9999; DATEI ending in .pdf or .png).
// Throws CommandLineError for an unknown option, a missing or bad value, a
// repeated option, options of the two commands mixed, or a missing file.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text of --help (UTF-8); dataFolder is shown where the program
// looks for its data.
std::string UsageText(const std::string& dataFolder);

} // namespace app
