// Checks shared by the fuzz targets: a broken invariant aborts, so that
// libFuzzer reports it like a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "earth/Outlines.h"

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace fuzz {

// The invariants of every set a reader fills: count matches the table, every
// segment has at least one point and owns them. Returns the number of points.
inline std::size_t CheckSet(const earth::OutlineSet& set) {
    FUZZ_CHECK(set.count >= 0);
    FUZZ_CHECK(static_cast<std::size_t>(set.count) == set.segments.size());
    std::size_t points = 0;
    for (const earth::OutlineSegment& s : set.segments) {
        FUZZ_CHECK(s.count >= 1);
        FUZZ_CHECK(s.points != nullptr);
        // Touch every point so that AddressSanitizer sees a short array.
        volatile float sum = 0;
        for (std::int32_t i = 0; i < s.count; ++i)
            sum = sum + s.points[i].r;
        FUZZ_CHECK(sum == static_cast<float>(s.count)); // every point has r = 1
        points += static_cast<std::size_t>(s.count);
    }
    return points;
}

} // namespace fuzz
