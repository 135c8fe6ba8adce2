#include "earth/Outlines.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "astro/Vectors.h"
#include "window/TextFiles.h"

namespace earth {

namespace {

using astro::DegreesToRadians;
using astro::Pi;
using astro::Real;
using astro::TwoPi;

// The markers of "ERDE.BIN" are compared in single precision: the converter
// stores the marker 990° as float(990° in radians), which lies just below the
// exact value, and it must still count as 990°.
const float SegmentEndMarker = static_cast<float>(DegreesToRadians(899)); // 15.690510
const float DropMarker = static_cast<float>(DegreesToRadians(990));       // 17.278759

// "ECLGRAPH.DAT": longitudes from 900 up are markers; 999 ends the data.
constexpr float TextMarkerFrom = 900;
constexpr float TextEnd = 999;

// "ERDE_0.BIN": the unit of the longitude code and of the step codes is
// 2π/8191 rad (not 2π/8192); the latitude code's unit is π/8191 rad.
constexpr Real CompactUnit = TwoPi / 8191;
constexpr Real CompactLatitudeUnit = Pi / 8191;
constexpr Real CompactStepLonOffset = DegreesToRadians(5);    // a step's Δlon = a·unit - 5°
constexpr Real CompactStepLatOffset = DegreesToRadians(2.4L); // a step's Δlat = b·unit - 2.4°

float FloatFromLittleEndian(const unsigned char* b) {
    const std::uint32_t bits = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                               (static_cast<std::uint32_t>(b[2]) << 16) |
                               (static_cast<std::uint32_t>(b[3]) << 24);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void AppendLittleEndian(std::string& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void AppendBits(std::string& out, std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    AppendLittleEndian(out, f);
}

// Moves the collected points into a new segment of `set` (nothing if none).
void FlushScratch(OutlineSet& set, std::vector<GlobePoint>& scratch) {
    if (!scratch.empty()) AddSegment(set, scratch.data(), static_cast<std::int32_t>(scratch.size()));
    scratch.clear();
}

void Empty(OutlineSet& set) {
    set.segments.clear();
    set.segments.reserve(SegmentTableCapacity);
    set.count = 0;
}

// The number at the start of a line of "ECLGRAPH.DAT". Blank lines give
// nullopt with `blank` set; a line that does not start with a number gives
// nullopt with `blank` clear. Accepted: blanks, an optional sign, digits with
// an optional fraction (".5" and "5." too), an optional exponent. The number
// is rounded once to single precision; beyond the single range it is refused,
// below it becomes zero.
std::optional<float> NumberAtLineStart(std::string_view line, bool& blank) {
    std::size_t i = 0;
    while (i < line.size() &&
           (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\f' || line[i] == '\v'))
        ++i;
    blank = i == line.size();
    if (blank) return std::nullopt;
    bool negative = false;
    if (line[i] == '+' || line[i] == '-') {
        negative = line[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i, ++digits;
    if (i < line.size() && line[i] == '.') {
        ++i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < line.size() && (line[j] == '+' || line[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < line.size() && line[j] >= '0' && line[j] <= '9')
            ++j, ++expDigits;
        if (expDigits > 0) i = j; // "5e" is 5 followed by text
    }
    const char* first = line.data() + start;
    const char* last = line.data() + i;
    float value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large for a float, or too small: tell the two apart in double.
        double wide = 0;
        auto [wptr, wec] = std::from_chars(first, last, wide, std::chars_format::general);
        (void)wptr;
        if (wec == std::errc() && std::fabs(wide) < 1) {
            value = 0;
        } else {
            return std::nullopt;
        }
    } else if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string NotANumberMessage(const std::string& sourceName, std::size_t lineNumber, std::string_view line) {
    constexpr std::size_t Shown = 40;
    std::string shown(line.substr(0, Shown));
    if (line.size() > Shown) shown += "...";
    // Control characters (a UTF-16 file's zero bytes) would cut or garble the message.
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return "Datei \"" + window::AbsolutePath(sourceName) + "\" kann nicht gelesen werden. Zeile " +
           std::to_string(lineNumber) + " enthält keine gültige Zahl: \"" + window::Cp1252ToUtf8(shown) +
           "\".";
}

// Finds a file of `folder` without regard to letter case; empty when there is
// none. A file of the current directory keeps a relative name ("ERDE.BIN").
std::string Locate(const char* name, const std::string& folder = ".") {
    std::string found = window::FindFileNoCase(name, folder);
    if (found.rfind("./", 0) == 0) found.erase(0, 2);
    return found;
}

// The coastline files to read: those of the first folder of the data lookup
// (the current directory, the installed data folder, the executable's folder)
// that holds any of the three, so that an "ERDE.BIN" is never taken from one
// folder while the "ECLGRAPH.DAT" of another one was meant.
struct OutlineSources {
    std::string compact, binary, text;
};

OutlineSources FindOutlineSources() {
    for (const std::string& folder : window::DataSearchFolders()) {
        OutlineSources sources{Locate(CompactOutlineFileName, folder), Locate(BinaryOutlineFileName, folder),
                               Locate(TextOutlineFileName, folder)};
        if (!sources.compact.empty() || !sources.binary.empty() || !sources.text.empty()) return sources;
    }
    return {};
}

// Reads the "ECLGRAPH.DAT" at `source` and converts it; false when there is
// none.
bool ConvertedText(const std::string& source, std::string& bin) {
    if (source.empty()) return false;
    bin = ParseOutlineText(OutlineFiles().readFile(source), source);
    return true;
}

OutlineFileAccess DefaultFileAccess() {
    return {window::ReadFileBytes, window::WriteFileReplacing};
}

OutlineFileAccess fileAccess = DefaultFileAccess();

} // namespace

OutlineFileAccess& OutlineFiles() {
    return fileAccess;
}
void ResetOutlineFiles() {
    fileAccess = DefaultFileAccess();
}

std::string MissingOutlinesText() {
    std::string text = MissingOutlinesMessage;
    text += "\n Gesucht wurde in diesen Ordnern:";
    for (const std::string& folder : window::DataSearchFolders()) {
        std::string shown = window::AbsolutePath(folder);
        if (shown.size() > 1 && shown.back() == '/') shown.pop_back(); // "/work/." is "/work/"
        text += "\n   " + shown;
    }
    return text;
}

void SphericalToGlobePoint(GlobePoint& p) {
    const Real r = p.r, lon = p.lon, lat = p.lat;
    p.w = p.r;
    p.x = static_cast<float>(r * std::cos(lat) * std::cos(lon));
    p.y = static_cast<float>(r * std::cos(lat) * std::sin(lon));
    p.z = static_cast<float>(r * std::sin(lat));
}

GlobePoint SphericalToGlobePoint(Real lon, Real lat, Real r) {
    GlobePoint p;
    p.lon = static_cast<float>(lon);
    p.lat = static_cast<float>(lat);
    p.r = static_cast<float>(r);
    SphericalToGlobePoint(p);
    return p;
}

void GlobePointToSpherical(GlobePoint& p) {
    const Real x = p.x, y = p.y, z = p.z;
    p.r = p.w;
    p.lat = static_cast<float>(astro::AngleOfPoint(z, std::sqrt(x * x + y * y)));
    Real lon = astro::AngleOfPoint(y, x);
    if (lon < 0) lon += TwoPi;
    p.lon = static_cast<float>(lon);
}

void AddSegment(OutlineSet& set, const GlobePoint* points, std::int32_t count) {
    if (count <= 0) return;
    if (set.count == std::numeric_limits<std::int32_t>::max())
        throw window::UserError("Zu viele Küstenlinien: mehr als " + std::to_string(set.count) +
                                " Segmente.");
    OutlineSegment segment;
    segment.count = count;
    segment.points = std::make_unique<GlobePoint[]>(static_cast<std::size_t>(count));
    std::memcpy(segment.points.get(), points, sizeof(GlobePoint) * static_cast<std::size_t>(count));
    set.segments.push_back(std::move(segment));
    set.count = static_cast<std::int32_t>(set.segments.size());
}

std::string ParseOutlineText(std::string_view text, const std::string& sourceName) {
    std::string bin;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    float longitude = 0; // the first number of the pair being read
    bool haveLongitude = false;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1); // CR LF or LF
        start = end + 1;
        ++lineNumber;
        bool blank = false;
        const std::optional<float> number = NumberAtLineStart(line, blank);
        if (blank) continue;
        if (!number) throw window::UserError(NotANumberMessage(sourceName, lineNumber, line));
        if (!haveLongitude) {
            longitude = *number;
            haveLongitude = true;
            continue;
        }
        const float lambda = longitude;
        const float phi = *number;
        haveLongitude = false;
        if (lambda == TextEnd || phi == TextEnd) break;
        // Points: westward degrees to eastward radians. Markers keep their value.
        const Real east =
            lambda < TextMarkerFrom ? 360 - static_cast<Real>(lambda) : static_cast<Real>(lambda);
        AppendLittleEndian(bin, static_cast<float>(DegreesToRadians(east)));
        AppendLittleEndian(bin, static_cast<float>(DegreesToRadians(phi)));
    }
    AppendBits(bin, EndPairBits);
    AppendBits(bin, EndPairBits);
    return bin;
}

void ParseErdeBin(std::string_view bytes, OutlineSet& set) {
    Empty(set);
    std::vector<GlobePoint> scratch;
    scratch.reserve(ScratchPointCapacity);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t pairs = bytes.size() / 8; // a final incomplete pair is ignored
    for (std::size_t i = 0; i < pairs; ++i) {
        const float lon = FloatFromLittleEndian(data + 8 * i);
        const float lat = FloatFromLittleEndian(data + 8 * i + 4);
        if (lon < SegmentEndMarker) {
            scratch.push_back(SphericalToGlobePoint(lon, lat, 1));
        } else if (lon < DropMarker) {
            FlushScratch(set, scratch);
        } else {
            scratch.clear(); // 990° and more, and NaN
        }
    }
}

void ParseErde0Bin(std::string_view bytes, OutlineSet& set) {
    Empty(set);
    std::vector<GlobePoint> scratch;
    scratch.reserve(ScratchPointCapacity);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t pos = 0;
    while (bytes.size() - pos >= 5) {
        const unsigned char* h = data + pos;
        // Byte 0: bit 7 start-of-line flag (unused), bits 0-4 = bits 8-12 of L.
        // Byte 1: bits 0-7 of L. Byte 2: bits 6-7 = bits 8-9 of n, bits 0-4 =
        // bits 8-12 of B. Byte 3: bits 0-7 of B. Byte 4: bits 0-7 of n.
        const unsigned longitudeCode = ((h[0] & 0x1Fu) << 8) | h[1];
        const unsigned latitudeCode = ((h[2] & 0x1Fu) << 8) | h[3];
        const std::size_t steps = (static_cast<std::size_t>(h[2] >> 6) << 8) | h[4];
        if (bytes.size() - pos - 5 < 2 * steps) break; // the file ends inside this record
        const unsigned char* step = h + 5;
        pos += 5 + 2 * steps;

        // The running longitude is not wrapped; each stored longitude is
        // brought into [0, 2π] once. The latitude is stored as it runs.
        Real lon = longitudeCode * CompactUnit;
        Real lat = latitudeCode * CompactLatitudeUnit - Pi / 2;
        scratch.clear();
        scratch.push_back(SphericalToGlobePoint(lon, lat, 1));
        for (std::size_t k = 0; k < steps; ++k) {
            const unsigned b = step[2 * k];     // latitude code (low byte)
            const unsigned a = step[2 * k + 1]; // longitude code (high byte)
            lon += a * CompactUnit - CompactStepLonOffset;
            lat += b * CompactUnit - CompactStepLatOffset;
            Real stored = lon;
            if (stored > TwoPi) {
                stored -= TwoPi;
            } else if (stored < 0) {
                stored += TwoPi;
            }
            scratch.push_back(SphericalToGlobePoint(stored, lat, 1));
        }
        FlushScratch(set, scratch);
    }
}

void ConvertOutlineText() {
    // The converted file always goes to the current directory: an installed
    // data folder is never written.
    std::string bin;
    if (!ConvertedText(window::LocateDataFile(TextOutlineFileName), bin)) return;
    OutlineFiles().writeFile(window::ResolveFileName(BinaryOutlineFileName), bin);
}

void LoadOutlines(OutlineSet& set, MissingOutlinesHandler onMissing) {
    if (set.loaded) return;
    const OutlineSources sources = FindOutlineSources();
    if (!sources.compact.empty()) {
        ParseErde0Bin(OutlineFiles().readFile(sources.compact), set);
        set.loaded = true;
        return;
    }
    std::string binary = sources.binary;
    if (binary.empty()) {
        std::string converted;
        if (ConvertedText(sources.text, converted)) {
            const std::string target = window::ResolveFileName(BinaryOutlineFileName);
            try {
                OutlineFiles().writeFile(target, converted);
            } catch (const window::UserError&) {
                // The coastlines are known even though they could not be
                // stored: use them, and report the failed write once.
                ParseErdeBin(converted, set);
                set.loaded = true;
                throw;
            }
            binary = Locate(BinaryOutlineFileName);
            if (binary.empty()) binary = target;
        }
    }
    if (binary.empty()) {
        const std::string message = MissingOutlinesText();
        if (onMissing) onMissing(message);
        throw MissingOutlinesError(message);
    }
    ParseErdeBin(OutlineFiles().readFile(binary), set);
    set.loaded = true;
}

void FreeOutlines(OutlineSet& set) {
    for (OutlineSegment& segment : set.segments) {
        segment.points.reset();
        segment.count = 0;
    }
    set.segments.clear();
    set.count = 0;
    set.loaded = false;
}

} // namespace earth
