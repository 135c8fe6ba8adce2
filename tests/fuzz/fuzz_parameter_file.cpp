// Fuzzes the parameter-file reader: any bytes are either read into a record
// whose saved form reads back to the same values, or refused with a
// ParameterFileError that names a line of the file and carries a readable
// message (no control characters, bounded length).
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "app/Parameters.h"

namespace {

// Equal as the record holds them: NaN never comes out of a conversion, and
// infinities do not either (too large a number is refused).
bool Same(app::Real a, app::Real b) {
    return a == b && std::isfinite(a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string fileName = "fuzz.dat";
    app::Parameters p;
    try {
        app::ParseParameterText(bytes, fileName, p);
    } catch (const app::ParameterFileError& e) {
        FUZZ_CHECK(e.line() >= 1 && e.line() <= 12);
        FUZZ_CHECK(e.file() == fileName);
        const std::string message = e.what();
        FUZZ_CHECK(message.find("\"" + fileName + "\"") != std::string::npos);
        FUZZ_CHECK(message.find("Zeile " + std::to_string(e.line())) != std::string::npos);
        FUZZ_CHECK(message.size() < 400);
        for (unsigned char c : message)
            FUZZ_CHECK(c >= 0x20 && c != 0x7F);
        return 0;
    }
    FUZZ_CHECK(p.viewMode <= 1);
    FUZZ_CHECK(Same(p.latitude, p.latitude) && Same(p.timeStep, p.timeStep) &&
               Same(p.gridSpacing, p.gridSpacing));

    // What F2 writes of this record reads back to the same values.
    app::Parameters q;
    app::ParseParameterText(app::FormatParameterFile(p), "Orvandel.dat", q);
    FUZZ_CHECK(q.viewMode == p.viewMode);
    FUZZ_CHECK(Same(q.latitude, p.latitude) && Same(q.longitude, p.longitude));
    FUZZ_CHECK(q.startDay == p.startDay && q.startMonth == p.startMonth && q.startYear == p.startYear);
    FUZZ_CHECK(Same(q.startTime, p.startTime) && Same(q.timeStep, p.timeStep));
    FUZZ_CHECK(q.delayMs == p.delayMs);
    FUZZ_CHECK(Same(q.centralAzimuth, p.centralAzimuth) && Same(q.gridSpacing, p.gridSpacing));
    FUZZ_CHECK(q.equatorAnswer == p.equatorAnswer && q.drawEquator == p.drawEquator);
    FUZZ_CHECK(q.eclipticAnswer == p.eclipticAnswer && q.drawEcliptic == p.drawEcliptic);
    FUZZ_CHECK(q.singleStep);
    FUZZ_CHECK(q.dayText == p.dayText && q.monthText == p.monthText && q.yearText == p.yearText);
    return 0;
}
