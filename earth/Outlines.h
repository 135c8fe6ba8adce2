// The coastlines of the globe and the three files they come from.
//
// Sources, tried in this order in the current directory (names matched
// without regard to letter case):
//   "ERDE_0.BIN"    compact binary records (header + two-byte steps)
//   "ERDE.BIN"      pairs of little-endian single-precision floats, radians
//   "ECLGRAPH.DAT"  text, degrees, longitudes counted westward; converted
//                   once into "ERDE.BIN", which later runs read directly
//
// Plain C++ (no Qt): the readers work on bytes in memory, so that they can be
// tested and fuzzed without files or a window system.
//
// Table sizes. The classic tables held at most 701 segments of at most 201
// points. Here the tables grow instead: a segment keeps all its points (a
// compact record alone may carry 1024) and a set keeps all its segments, so
// valid data is never cut or refused. Nothing is ever written past a table,
// and corrupt input costs at most memory in proportion to the file's size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "astro/Numeric.h"
#include "window/TextFiles.h"

namespace earth {

// One point of an outline, seven single-precision floats. (x, y, z) are
// Earth-fixed: X toward longitude 0 on the equator, Y toward 90° east, Z toward
// the north pole. lon (east positive) and lat in radians; r the radius (1 for
// every point read from the files); w a copy of r kept with (x, y, z).
struct GlobePoint {
    float w = 0, x = 0, y = 0, z = 0;
    float lon = 0, lat = 0, r = 0;
};

// A polyline of `count` points (at least one), allocated to the exact size.
struct OutlineSegment {
    std::int32_t count = 0;
    std::unique_ptr<GlobePoint[]> points;
};

// A table of segments: the coastlines, or the coordinate grid. `count` is the
// number of segments in use (always segments.size()); `loaded` tells that the
// table is filled (for the grid: built).
struct OutlineSet {
    std::vector<OutlineSegment> segments;
    std::int32_t count = 0;
    bool loaded = false;
};

// The size the scratch array and a set's table start with (they grow beyond).
inline constexpr std::int32_t ScratchPointCapacity = 201;
inline constexpr std::int32_t SegmentTableCapacity = 701;

// The file names as the program spells them.
inline constexpr const char* CompactOutlineFileName = "ERDE_0.BIN";
inline constexpr const char* BinaryOutlineFileName = "ERDE.BIN";
inline constexpr const char* TextOutlineFileName = "ECLGRAPH.DAT";

// The message shown when none of the three files exists, bell included.
inline constexpr const char* MissingOutlinesMessage =
    " Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" gefunden ! \a";

// The message shown when none of the three files exists: its first line is
// MissingOutlinesMessage, the lines after it name the folders of the data
// lookup that were searched, absolute.
std::string MissingOutlinesText();

// The single-precision bit pattern of 999° in radians (17.435839): the end
// pair that the conversion writes twice.
inline constexpr std::uint32_t EndPairBits = 0x418B7C99u;

// Fills x, y, z and w from lon, lat and r:
// x = r·cos lat·cos lon, y = r·cos lat·sin lon, z = r·sin lat, w = r.
void SphericalToGlobePoint(GlobePoint& p);
// A point from longitude and latitude (radians) and radius, rectangular part
// included.
GlobePoint SphericalToGlobePoint(astro::Real lon, astro::Real lat, astro::Real r);
// Fills r, lat and lon from w, x, y, z: r = w, lat = the angle of
// (√(x² + y²), z), lon = the angle of (x, y) brought into [0, 2π).
void GlobePointToSpherical(GlobePoint& p);

// Appends a segment made of `count` points (count >= 1) to the set.
void AddSegment(OutlineSet& set, const GlobePoint* points, std::int32_t count);

// --- The readers, on bytes in memory ----------------------------------------

// Converts the text of "ECLGRAPH.DAT" into the bytes of "ERDE.BIN".
// One number per line (anything after it on the line is ignored; blank lines
// are skipped); pairs of longitude (degrees, westward) and latitude (degrees).
// A longitude below 900 becomes 360 - λ (eastward); both become radians. A
// longitude from 900 up is a marker, kept as it is (in radians). A pair with a
// 999 in it ends the data, and so does the end of the text (also in the middle
// of a pair: the lone longitude is dropped). The end pair (999° in radians,
// twice) is always written.
// A line that does not start with a number, or a number beyond the single
// range, throws window::UserError naming `sourceName` and the line.
std::string ParseOutlineText(std::string_view text, const std::string& sourceName);

// Reads "ERDE.BIN" bytes into `set` (emptied first; `loaded` is not touched).
// Longitudes below 899° (radians) are points; from 899° up to below 990° a
// marker ends the current segment; from 990° up (and NaN) the points since the
// previous segment end are dropped. A segment end with no points before it
// stores nothing. Points after the last segment end, and a final incomplete
// pair, are dropped.
void ParseErdeBin(std::string_view bytes, OutlineSet& set);

// Reads "ERDE_0.BIN" bytes into `set` (emptied first; `loaded` not touched).
// Each record: a five-byte header with the first point and the step count n,
// then n two-byte steps; the segment has n + 1 points. A final record that the
// bytes end inside of (header or steps) is dropped whole.
void ParseErde0Bin(std::string_view bytes, OutlineSet& set);

// --- The files --------------------------------------------------------------

// What LoadOutlines throws when none of the three files exists.
class MissingOutlinesError : public window::UserError {
  public:
    using window::UserError::UserError;
};

// Called when none of the three files exists; it shows `message`
// (MissingOutlinesText) and ends the program (it should not return; if it
// does, LoadOutlines throws MissingOutlinesError with the message).
using MissingOutlinesHandler = void (*)(const std::string& message);

// Fills `set` from the first source found unless it is already loaded.
// Read errors throw window::UserError (set stays unloaded). If "ERDE.BIN"
// cannot be written after a conversion, the converted coastlines are still
// loaded, and then the write error is thrown: the user sees it once and the
// globe is drawn from then on.
void LoadOutlines(OutlineSet& set, MissingOutlinesHandler onMissing = nullptr);

// Converts "ECLGRAPH.DAT" into "ERDE.BIN" (replacing it only when complete);
// does nothing if "ECLGRAPH.DAT" does not exist. Errors throw window::UserError.
void ConvertOutlineText();

// Releases every segment's points, sets every count to 0, clears `loaded`.
void FreeOutlines(OutlineSet& set);

// How this module reads and writes files; tests replace them (for example to
// count the files opened). The defaults are window::ReadFileBytes and
// window::WriteFileReplacing.
struct OutlineFileAccess {
    std::string (*readFile)(const std::string& path);
    void (*writeFile)(const std::string& path, std::string_view bytes);
};
OutlineFileAccess& OutlineFiles();
void ResetOutlineFiles();

} // namespace earth
