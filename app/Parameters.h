// The program-wide parameter record: every value the user gives, held as
// the text last entered (offered as the next default, written verbatim to
// the saved file) and as its converted number; the defaults, the prompt
// sequence, the parameter file read at start and the file written by F2.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

// The file that F2 writes, in the current directory.
inline constexpr const char* SavedParameterFileName = "Orvandel.dat";

struct Parameters {
    std::uint8_t viewMode = 0; // 0 inside view ("p"), 1 outside view ("b")

    // Latitude, longitude and central azimuth are degrees until StartRun
    // converts them to radians in place.
    std::string latitudeText = "54.3";
    Real latitude = 0;
    Real previousLatitude = 0; // latitude before the latest prompt sequence
    std::string longitudeText = "10.1";
    Real longitude = 0;

    std::string dayText, monthText, yearText;
    std::int32_t startDay = 0, startMonth = 0, startYear = 0;
    // Clock value hh.mm in MEZ: 14.17 is 14 h 17 min.
    std::string startTimeText;
    Real startTime = 0;
    // hh.mm as entered; StartRun turns it into days.
    std::string timeStepText = "0.05";
    Real timeStep = 0;
    std::string delayText = "30";
    std::int32_t delayMs = 0;
    std::string azimuthText = "0"; // degrees, south = 0
    Real centralAzimuth = 0;
    std::string gridSpacingText = "30"; // entered in degrees
    Real gridSpacing = 0;               // stored in radians
    char equatorAnswer = 'n';           // a Windows-1252 character
    bool drawEquator = false;
    char eclipticAnswer = 'n';
    bool drawEcliptic = false;

    bool singleStep = false;
    bool defaultsSet = false;
    bool parametersEntered = false;
    bool keepStartScreen = false;

    // Fixed inputs of the scene, set by InitialiseParameters.
    Real sinObliquity = 0, cosObliquity = 0;
    astro::Vector3 eyePoint{};

    // The command line: the first argument, if any, names the parameter file.
    // startedWithFile goes false when that file cannot be opened: the program
    // then runs as if started without it.
    bool startedWithFile = false;
    std::string parameterFile;
};

Parameters& Params();
// Start values of the record (the program entry; tests).
void ResetParameters();
// The command-line arguments after the program name.
void SetCommandLine(const std::vector<std::string>& arguments);

// Called by PromptParameters the first time only: fills the defaults from the
// clock and the calendar, or reads the parameter file of the command line.
void InitialiseParameters();
// The start and restart procedure: asks the questions (unless a parameter
// file was given) and starts a run. Returns at once while the main window is
// not active and while it is already running (a nested tick inside a prompt).
void PromptParameters();
// The end of every parameter input, asked or read: the first run starts with
// one frame, and the main loop takes over.
void StartRunAfterInput();
// Reads the file named on the command line into the record. A file that
// cannot be read throws window::UserError (the record is unchanged); a file
// whose content does not convert is reported (message box and standard
// error) and ends the program with status 1.
void ReadParameterFile();
// Writes "Orvandel.dat"; a failure is reported and changes nothing.
void SaveParameterFile();

// Shows a message to the user: on standard error and in the program's
// message box (through the window layer's error reporter).
void ReportToUser(const std::string& message);

// A parameter file whose content does not convert: the file, the 1-based
// line number, the offending text (UTF-8, as in the file) and the German
// message that names all three.
class ParameterFileError : public std::exception {
  public:
    ParameterFileError(std::string file, int line, std::string text, std::string message);
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& text() const { return text_; }

  private:
    std::string file_;
    int line_;
    std::string text_;
    std::string message_;
};

// The twelve lines of a parameter file (Windows-1252 bytes, CR LF or LF)
// parsed into `p` (the pure part of ReadParameterFile, for tests and
// fuzzing). Throws ParameterFileError for a value that does not convert or a
// missing line; `p` is then unchanged. fileName is used in the message only.
void ParseParameterText(std::string_view bytes, const std::string& fileName, Parameters& p);
// The bytes of a saved parameter file (Windows-1252, CR LF).
std::string FormatParameterFile(const Parameters& p);

} // namespace app
