// Fuzzes the "ERDE_0.BIN" reader: any bytes give a well-formed set whose
// records all lie inside the file (five header bytes and two per step).
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    earth::OutlineSet set;
    earth::ParseErde0Bin(std::string_view(reinterpret_cast<const char*>(data), size), set);
    fuzz::CheckSet(set);
    std::size_t used = 0;
    for (const earth::OutlineSegment& s : set.segments) {
        FUZZ_CHECK(s.count <= 1024); // ten bits of steps, plus the first point
        used += 5 + 2 * static_cast<std::size_t>(s.count - 1);
    }
    FUZZ_CHECK(used <= size);
    return 0;
}
