// The command lines of the two programs: Orvandel's options, its usage text,
// and the rules both programs share (the picture size). No Qt.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

enum class CommandKind {
    Run,     // the interactive program (with or without a parameter file)
    Help,    // --help
    Version, // --version
    Export,  // --export
};

struct CommandLine {
    CommandKind kind = CommandKind::Run;
    ExportOptions exportOptions;
};

// The arguments after the program name. A first argument that does not begin
// with "--" (or none) is the interactive program: that argument names the
// parameter file, as always. Otherwise the arguments are options: "--help",
// "--version", or "--export DIR --frames N [--size WxH] PARAMFILE" in any
// order. Throws CommandLineError for an unknown option, a missing or bad
// value, a repeated option or a missing parameter file.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text of --help (UTF-8); dataFolder is shown where the program
// looks for its data.
std::string UsageText(const std::string& dataFolder);

} // namespace app
