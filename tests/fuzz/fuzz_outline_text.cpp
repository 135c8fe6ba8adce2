// Fuzzes the "ECLGRAPH.DAT" reader: any text either converts into a
// well-formed "ERDE.BIN" (whole pairs, the end pair last) that reads back, or
// is refused with a UserError.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "window/TextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string bin;
    try {
        bin = earth::ParseOutlineText(text, "ECLGRAPH.DAT");
    } catch (const window::UserError&) {
        return 0;
    }
    FUZZ_CHECK(bin.size() % 8 == 0);
    FUZZ_CHECK(bin.size() >= 8);
    std::uint32_t last[2];
    std::memcpy(last, bin.data() + bin.size() - 8, 8);
    FUZZ_CHECK(last[0] == earth::EndPairBits && last[1] == earth::EndPairBits); // little-endian host
    // No more pairs than there were numbers in the text (two lines each).
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    FUZZ_CHECK(bin.size() / 8 - 1 <= lines / 2);

    earth::OutlineSet set;
    earth::ParseErdeBin(bin, set);
    FUZZ_CHECK(fuzz::CheckSet(set) <= bin.size() / 8);
    return 0;
}
