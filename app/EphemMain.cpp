// orvandel-ephem: a table of the Sun's and the Moon's positions for a place
// and a series of instants, as CSV on standard output, for worksheets and for
// checking the computation from outside. Every number comes from the astro
// library through the same chain of operations as the inside view uses; the
// phase, the sky and the bright limb are the inside view's own scene values
// (ComputeInsideScene on the parameter record), so a teacher can check what
// the picture will show. Needs no display.
//
//   orvandel-ephem --lat DEG --lon DEG --date D.M.YYYY --time HH.MM
//                  [--step HH.MM] [--count N] [--azimuth DEG] [--size WxH]
//
// Exit status 0 on success, 2 for a bad or missing option (with a message on
// standard error), 1 if writing the output fails.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Moon.h"
#include "astro/Numeric.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"

namespace {

using astro::CalendarDate;
using astro::Real;

constexpr const char* ProgramName = "orvandel-ephem";

constexpr Real DegreesPerRadian = 180 / astro::Pi;

// The constant obliquity of the ecliptic that the program uses, 23.5 degrees.
constexpr Real ObliquityRad = 23.5L / DegreesPerRadian;

const char* const HelpText =
    "Aufruf: orvandel-ephem --lat GRAD --lon GRAD --date T.M.JJJJ --time hh.mm\n"
    "                       [--step hh.mm] [--count N] [--azimuth GRAD] [--size BxH]\n"
    "\n"
    "Gibt die Örter von Sonne und Mond für einen Beobachtungsort und eine Folge\n"
    "von Zeitpunkten als CSV-Tabelle aus, berechnet wie im Programm Orvandel.\n"
    "\n"
    "  --lat GRAD        geografische Breite in Grad, Norden positiv\n"
    "  --lon GRAD        geografische Länge in Grad, Osten positiv\n"
    "  --date T.M.JJJJ   Startdatum (Jahr astronomisch gezählt, 0 = 1 v. Chr.;\n"
    "                    gregorianisch ab 15.10.1582, vorher julianisch)\n"
    "  --time hh.mm      Startuhrzeit in MEZ (Weltzeit + 1 Stunde), z. B. 13.45\n"
    "  --step hh.mm      Zeitschritt, auch negativ (Vorgabe 1.00)\n"
    "  --count N         Anzahl der Zeilen, mindestens 1 (Vorgabe 1)\n"
    "  --azimuth GRAD    zentraler Azimut der Innenansicht in Grad (Süden: 0);\n"
    "                    Vorgabe 0 bei nördlicher, 180 bei südlicher Breite\n"
    "  --size BxH        Bildschirm in Pixeln, dessen Innenansicht limb_angle\n"
    "                    zugrunde liegt (Vorgabe 1920x1080)\n"
    "  --help            diese Hilfe\n"
    "\n"
    "Zahlen dürfen ein Dezimalkomma statt des Punktes haben (54,3).\n"
    "\n"
    "Spalten (Winkel in Grad):\n"
    "  jd          julianisches Datum (Weltzeit)\n"
    "  date        Datum T.M.JJJJ und\n"
    "  clock       Uhrzeit MEZ hh.mm (sechs Dezimalen, nicht auf Minuten gerundet),\n"
    "              beide aus jd zurückgerechnet\n"
    "  lst_h       mittlere Ortssternzeit in Stunden\n"
    "  sun_lon, sun_lat, moon_lon, moon_lat\n"
    "              ekliptikale Länge und Breite, mittleres Äquinoktium des Datums\n"
    "              (die Länge der Sonne kann negativ sein)\n"
    "  sun_dist    Entfernung der Sonne in AE\n"
    "  moon_dist   Entfernung des Mondes in Erdradien\n"
    "  sun_ra, sun_dec, moon_ra, moon_dec\n"
    "              Rektaszension und Deklination (Schiefe der Ekliptik 23,5 Grad)\n"
    "  sun_az, sun_alt, moon_az, moon_alt\n"
    "              Azimut (von Süden über Westen, -180 bis 180) und Höhe\n"
    "  phase_angle Phasenwinkel des Mondes: 0 bei Vollmond, +-180 bei Neumond,\n"
    "              positiv bei zunehmendem, negativ bei abnehmendem Mond\n"
    "  illuminated beleuchteter Anteil der Mondscheibe, (1 + cos phase_angle) / 2\n"
    "  sky         Himmel der Innenansicht: day (Sonne über dem Horizont),\n"
    "              twilight (weniger als 6 Grad darunter) oder night\n"
    "  limb_angle  Richtung von der Mondmitte zur hellen Seite auf dem Bildschirm\n"
    "              der Innenansicht, gegen den Uhrzeigersinn von rechts (0 rechts,\n"
    "              90 oben, -90 unten)\n"
    "\n"
    "Exit-Status: 0 bei Erfolg, 2 bei fehlerhaften oder fehlenden Angaben.\n";

constexpr const char* CsvHeader =
    "jd,date,clock,lst_h,sun_lon,sun_lat,sun_dist,sun_ra,sun_dec,sun_az,sun_alt,"
    "moon_lon,moon_lat,moon_dist,moon_ra,moon_dec,moon_az,moon_alt,"
    "phase_angle,illuminated,sky,limb_angle";

// A bad or missing option; what() is the German message.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// ---- Reading the options -------------------------------------------------

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A real number as the prompts read it: leading blanks, an optional sign,
// digits with an optional decimal point (a comma counts as the point; either
// side may be empty, not both), an optional exponent; nothing after it.
bool ParseReal(std::string_view text, Real& value) {
    std::string s(text);
    for (char& c : s) {
        if (c == ',') c = '.';
    }
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    const std::size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != s.size()) return false;
    value = std::strtold(s.c_str() + start, nullptr); // the C locale: the point is '.'
    return std::isfinite(value);
}

// A signed 32-bit decimal integer: leading blanks, an optional sign, digits,
// nothing after them.
bool ParseInteger(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{1} << 31) return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max()) return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

// D.M.YYYY: three integers separated by points.
bool ParseDate(std::string_view text, CalendarDate& date) {
    const std::size_t first = text.find('.');
    if (first == std::string_view::npos) return false;
    const std::size_t second = text.find('.', first + 1);
    if (second == std::string_view::npos) return false;
    return ParseInteger(text.substr(0, first), date.Day) &&
           ParseInteger(text.substr(first + 1, second - first - 1), date.Month) &&
           ParseInteger(text.substr(second + 1), date.Year);
}

// WxH: two integers of at least 2 pixels each, separated by an x.
bool ParseSize(std::string_view text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    return ParseInteger(text.substr(0, x), width) && ParseInteger(text.substr(x + 1), height) && width >= 2 &&
           height >= 2;
}

struct Options {
    bool help = false;
    Real latitudeDeg = 0;
    Real longitudeDeg = 0;
    CalendarDate date;
    Real startClock = 0; // MEZ, hh.mm
    Real stepClock = 1;  // hh.mm
    std::int32_t count = 1;
    bool haveAzimuth = false;
    Real azimuthDeg = 0; // from south; without --azimuth 0 or 180 by the latitude
    std::int32_t width = 1920, height = 1080;
};

Options ParseArguments(const std::vector<std::string>& args) {
    Options options;
    bool haveLat = false, haveLon = false, haveDate = false, haveTime = false, haveStep = false,
         haveCount = false, haveSize = false;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& name = args[n];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        bool* seen = nullptr;
        if (name == "--lat")
            seen = &haveLat;
        else if (name == "--lon")
            seen = &haveLon;
        else if (name == "--date")
            seen = &haveDate;
        else if (name == "--time")
            seen = &haveTime;
        else if (name == "--step")
            seen = &haveStep;
        else if (name == "--count")
            seen = &haveCount;
        else if (name == "--azimuth")
            seen = &options.haveAzimuth;
        else if (name == "--size")
            seen = &haveSize;
        else
            throw UsageError("Unbekannte Angabe \"" + name + "\".");
        if (*seen) throw UsageError("Die Angabe " + name + " steht mehrfach da.");
        *seen = true;
        if (n + 1 >= args.size()) throw UsageError("Nach " + name + " fehlt der Wert.");
        const std::string& value = args[++n];
        const std::string bad = "Der Wert \"" + value + "\" von " + name + " ist ungültig: ";
        if (name == "--lat") {
            if (!ParseReal(value, options.latitudeDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--lon") {
            if (!ParseReal(value, options.longitudeDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--date") {
            if (!ParseDate(value, options.date)) throw UsageError(bad + "erwartet wird ein Datum T.M.JJJJ.");
        } else if (name == "--time") {
            if (!ParseReal(value, options.startClock))
                throw UsageError(bad + "erwartet wird eine Uhrzeit hh.mm.");
        } else if (name == "--step") {
            if (!ParseReal(value, options.stepClock))
                throw UsageError(bad + "erwartet wird ein Zeitschritt hh.mm.");
        } else if (name == "--azimuth") {
            if (!ParseReal(value, options.azimuthDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--size") {
            if (!ParseSize(value, options.width, options.height))
                throw UsageError(bad +
                                 "erwartet wird Breite x Höhe in Pixeln, je mindestens 2, z. B. 1920x1080.");
        } else {
            if (!ParseInteger(value, options.count) || options.count < 1)
                throw UsageError(bad + "erwartet wird eine ganze Zahl ab 1.");
        }
    }
    if (!haveLat) throw UsageError("Die geografische Breite fehlt (--lat).");
    if (!haveLon) throw UsageError("Die geografische Länge fehlt (--lon).");
    if (!haveDate) throw UsageError("Das Startdatum fehlt (--date).");
    if (!haveTime) throw UsageError("Die Startuhrzeit fehlt (--time).");
    // The central azimuth that the prompts offer: south at northern, north at
    // southern latitudes.
    if (!options.haveAzimuth) options.azimuthDeg = options.latitudeDeg >= 0 ? 0 : 180;
    return options;
}

// ---- Computing one row ----------------------------------------------------

// The observer, in radians, with the sines and cosines the horizon needs.
struct Observer {
    Real latitude;
    Real longitude;
    Real sinLatitude;
    Real cosLatitude;
};

// One body's position; angles in degrees.
struct BodyPosition {
    Real longitude; // ecliptic, as the theory returns it
    Real latitude;
    Real distance;       // AU for the Sun, Earth radii for the Moon
    Real rightAscension; // [0, 360)
    Real declination;
    Real azimuth; // from south, positive toward west, (-180, 180]
    Real altitude;
};

// The inside view's picture of the Moon and the sky.
struct InsidePicture {
    Real phaseAngle;  // degrees, signed
    Real illuminated; // fraction of the disc
    const char* sky;  // "day", "twilight" or "night"
    Real limbAngle;   // degrees
};

struct EphemerisRow {
    Real jd; // UT
    CalendarDate date;
    Real clock; // MEZ, hh.mm
    Real siderealHours;
    BodyPosition sun;
    BodyPosition moon;
    InsidePicture picture;
};

// The program's parameter record and run state as a run of the inside view
// at this place has them: angles in radians, the constants of the
// initialisation, the inside view's world window for the screen.
void PrepareInsideView(const Options& options, const Observer& observer) {
    app::ResetParameters();
    app::ResetRunState();
    app::ResetScene();
    app::Parameters& p = app::Params();
    p.latitude = observer.latitude;
    p.longitude = observer.longitude;
    p.centralAzimuth = options.azimuthDeg / DegreesPerRadian;
    p.sinObliquity = std::sin(app::ObliquityRadians);
    p.cosObliquity = std::cos(app::ObliquityRadians);
    p.eyePoint = astro::MakeVector(-1.05L, 0, 0.35L); // behind and above the observer
    app::PrepareScene();
    app::SetInsideWorldWindow(options.width - 1, options.height - 1);
}

InsidePicture ComputePicture(Real jd) {
    app::Run().currentJD = jd;
    app::ComputeInsideScene();
    const app::SceneState& s = app::Scene();
    InsidePicture picture;
    picture.phaseAngle = s.phaseAngle * DegreesPerRadian;
    picture.illuminated = (1 + std::cos(s.phaseAngle)) / 2;
    picture.sky = s.sunAboveHorizon ? "day" : s.sunInTwilight ? "twilight" : "night";
    picture.limbAngle = s.brightLimbAngle * DegreesPerRadian;
    return picture;
}

// Equatorial and horizon coordinates of an ecliptic direction: ecliptic to
// equatorial by the obliquity, to spherical, then into the observer's horizon.
BodyPosition PlaceInSky(Real longitude, Real latitude, Real distance, const Observer& observer,
                        Real siderealTime) {
    BodyPosition body;
    body.longitude = longitude * DegreesPerRadian;
    body.latitude = latitude * DegreesPerRadian;
    body.distance = distance;
    astro::Vector3 v;
    astro::SphericalToVector(astro::SphericalPos{1, longitude, latitude}, v);
    astro::RotatePair(v.Y, v.Z, std::sin(ObliquityRad), std::cos(ObliquityRad));
    astro::SphericalPos equatorial;
    astro::VectorToSpherical(v, equatorial);
    body.rightAscension = equatorial.Longitude * DegreesPerRadian;
    body.declination = equatorial.Latitude * DegreesPerRadian;
    Real a = equatorial.Longitude, b = equatorial.Latitude;
    astro::EquatorialToHorizon(a, b, observer.sinLatitude, observer.cosLatitude, siderealTime);
    body.azimuth = a * DegreesPerRadian;
    body.altitude = b * DegreesPerRadian;
    return body;
}

EphemerisRow ComputeRow(const Observer& observer, Real jd) {
    EphemerisRow row;
    row.jd = jd;
    astro::CivilFromJulianDate(row.date, row.clock, jd);
    const Real siderealTime = astro::LocalSiderealTime(row.date, row.clock, observer.longitude);
    row.siderealHours = siderealTime * 12 / astro::Pi;
    const Real T = astro::CenturiesSinceJ2000(jd);
    Real longitude, latitude, distance;
    astro::SunPosition(T, longitude, latitude, distance);
    row.sun = PlaceInSky(longitude, latitude, distance, observer, siderealTime);
    astro::MoonPosition(T, longitude, latitude, distance);
    row.moon = PlaceInSky(longitude, latitude, distance, observer, siderealTime);
    row.picture = ComputePicture(jd);
    return row;
}

// ---- Writing CSV ------------------------------------------------------------

// A number with 15 significant digits (trailing zeros kept), C locale.
void AppendNumber(std::string& line, Real value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg", value);
    line += ',';
    line += buffer;
}

void AppendBody(std::string& line, const BodyPosition& body) {
    for (Real value : {body.longitude, body.latitude, body.distance, body.rightAscension, body.declination,
                       body.azimuth, body.altitude}) {
        AppendNumber(line, value);
    }
}

// The clock value hh.mm with six decimals. Rounding the decimals carries a
// minute that comes out as 60 into the hour: 13.5999999999 (a rounding
// residue of 14 h) is written 14.000000, not 13.600000.
std::string FormatClock(Real clock) {
    char buffer[64];
    if (!(std::fabs(clock) < 1e6L)) { // never for a real date; NaN as well
        std::snprintf(buffer, sizeof buffer, "%.6Lf", clock);
        return buffer;
    }
    const Real magnitude = std::fabs(clock);
    Real hours = std::trunc(magnitude);
    Real millionths = std::nearbyint((magnitude - hours) * 1e6L);
    if (millionths >= 600000) {
        hours = hours + 1;
        millionths = millionths - 600000;
    }
    std::snprintf(buffer, sizeof buffer, "%s%.0Lf.%06d", clock < 0 ? "-" : "", hours,
                  static_cast<int>(astro::RoundToInt32(millionths)));
    return buffer;
}

std::string CsvLine(const EphemerisRow& row) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg,%d.%d.%d,", row.jd, static_cast<int>(row.date.Day),
                  static_cast<int>(row.date.Month), static_cast<int>(row.date.Year));
    std::string line = buffer;
    line += FormatClock(row.clock);
    AppendNumber(line, row.siderealHours);
    AppendBody(line, row.sun);
    AppendBody(line, row.moon);
    AppendNumber(line, row.picture.phaseAngle);
    AppendNumber(line, row.picture.illuminated);
    line += ',';
    line += row.picture.sky;
    AppendNumber(line, row.picture.limbAngle);
    return line;
}

int WriteTable(const Options& options) {
    Observer observer;
    observer.latitude = options.latitudeDeg / DegreesPerRadian;
    observer.longitude = options.longitudeDeg / DegreesPerRadian;
    observer.sinLatitude = std::sin(observer.latitude);
    observer.cosLatitude = std::cos(observer.latitude);
    PrepareInsideView(options, observer);

    // As the animation does: start at the civil instant and add the step,
    // converted to days, once per line.
    Real jd = astro::JulianDateFromCivil(options.date, options.startClock);
    const Real stepDays = astro::HoursFromClock(options.stepClock) / 24;
    std::string out = CsvHeader;
    out += '\n';
    for (std::int32_t n = 0; n < options.count; ++n) {
        out += CsvLine(ComputeRow(observer, jd));
        out += '\n';
        if (out.size() >= 1 << 16) {
            if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
            out.clear();
        }
        jd = jd + stepDays;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Options options;
    try {
        options = ParseArguments(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\nHilfe: %s --help\n", ProgramName, e.what(), ProgramName);
        return 2;
    }
    if (options.help) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    return WriteTable(options);
}
