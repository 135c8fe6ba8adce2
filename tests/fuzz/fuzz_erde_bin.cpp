// Fuzzes the "ERDE.BIN" reader: any bytes give a well-formed set with no more
// points than the file has pairs.
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    earth::OutlineSet set;
    earth::ParseErdeBin(std::string_view(reinterpret_cast<const char*>(data), size), set);
    const std::size_t points = fuzz::CheckSet(set);
    FUZZ_CHECK(points <= size / 8);
    // Every stored segment needs its end marker after its points.
    FUZZ_CHECK(points + set.segments.size() <= size / 8);
    return 0;
}
