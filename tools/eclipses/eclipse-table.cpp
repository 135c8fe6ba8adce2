// orvandel-eclipse-table: the lunar eclipses the program computes, as CSV on
// standard output, for comparing them with an independent ephemeris
// (compare-eclipses.py beside this file).
//
//   orvandel-eclipse-table [FIRST_YEAR [LAST_YEAR]]     (default 2000 2030)
//
// One row per eclipse whose penumbral phase overlaps 1 January of FIRST_YEAR
// 0h UT to 1 January of LAST_YEAR + 1 0h UT:
//   kind,greatest,p1,u1,u2,u3,u4,p4,umbral_magnitude,penumbral_magnitude
// Instants are Julian dates, UT (the program's time scale, no Delta T), with
// six decimals; an absent contact is an empty field.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "astro/Eclipse.h"

namespace {

// 1 January of the Gregorian year, 0h UT, as a Julian date.
long double JanuaryFirst(long year) {
    const long y = year - 1;
    return 1721425.5L + 365 * y + y / 4 - y / 100 + y / 400;
}

void PrintInstant(const std::optional<astro::Real>& t) {
    if (t)
        std::printf(",%.6Lf", *t);
    else
        std::printf(",");
}

} // namespace

int main(int argc, char** argv) {
    const long first = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    const long last = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 2030;
    if (first < 1 || last < first || last > 9999) {
        std::fprintf(stderr,
                     "usage: orvandel-eclipse-table [FIRST_YEAR [LAST_YEAR]] (Gregorian years 1..9999)\n");
        return 2;
    }
    std::printf("kind,greatest,p1,u1,u2,u3,u4,p4,umbral_magnitude,penumbral_magnitude\n");
    for (const astro::LunarEclipse& e :
         astro::FindLunarEclipses(JanuaryFirst(first), JanuaryFirst(last + 1))) {
        std::printf("%s,%.6Lf", astro::EclipseKindText(e.kind), e.greatest);
        for (const auto* c : {&e.p1, &e.u1, &e.u2, &e.u3, &e.u4, &e.p4})
            PrintInstant(*c);
        std::printf(",%.5Lf,%.5Lf\n", e.atGreatest.umbralMagnitude, e.atGreatest.penumbralMagnitude);
    }
    return 0;
}
