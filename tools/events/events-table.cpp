// orvandel-events-table: prints the program's rising, setting, culmination
// and phase events as CSV, for the comparison with an independent ephemeris
// (compare-events.py beside this file).
//
// Reads requests from standard input, one a line:
//   days LAT LON JD0 N     EventsForDays for N civil days from JD0
//   phases JD0 JD1         PhaseEvents in [JD0, JD1)
// LAT and LON in degrees (east positive), JD0 and JD1 Julian dates (UT).
// Writes the header `request,body,event,jd,az,alt` and one event a line:
// request the number of the request line from 0, jd the Julian date (UT) to
// 1e-6 day, az (from north through east) and alt in degrees, empty where the
// event has none. A malformed line gives a message on standard error and exit
// status 2.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/Events.h"

namespace {

const char* BodyName(astro::Body b) {
    return b == astro::Body::Sun ? "sun" : "moon";
}

const char* KindName(astro::EventKind k) {
    switch (k) {
    case astro::EventKind::Rise:
        return "rise";
    case astro::EventKind::Set:
        return "set";
    case astro::EventKind::Transit:
        return "transit";
    case astro::EventKind::NoRise:
        return "no_rise";
    case astro::EventKind::NoSet:
        return "no_set";
    case astro::EventKind::NewMoon:
        return "new_moon";
    case astro::EventKind::FirstQuarter:
        return "first_quarter";
    case astro::EventKind::FullMoon:
        return "full_moon";
    case astro::EventKind::LastQuarter:
        return "last_quarter";
    }
    return "?";
}

} // namespace

int main() {
    std::printf("request,body,event,jd,az,alt\n");
    std::string line;
    for (long request = 0; std::getline(std::cin, line); ++request) {
        std::istringstream in(line);
        std::string what;
        in >> what;
        std::vector<astro::Event> events;
        if (what == "days") {
            astro::Real lat = 0, lon = 0, jd0 = 0;
            int days = 0;
            if (!(in >> lat >> lon >> jd0 >> days)) {
                std::fprintf(stderr, "orvandel-events-table: bad request: %s\n", line.c_str());
                return 2;
            }
            events = astro::EventsForDays(lat * astro::Degree, lon * astro::Degree, jd0, days);
        } else if (what == "phases") {
            astro::Real jd0 = 0, jd1 = 0;
            if (!(in >> jd0 >> jd1)) {
                std::fprintf(stderr, "orvandel-events-table: bad request: %s\n", line.c_str());
                return 2;
            }
            events = astro::PhaseEvents(jd0, jd1);
        } else {
            std::fprintf(stderr, "orvandel-events-table: unknown request: %s\n", line.c_str());
            return 2;
        }
        for (const astro::Event& e : events) {
            std::printf("%ld,%s,%s,%.6Lf,", request, BodyName(e.body), KindName(e.kind), e.jd);
            if (e.hasAzimuth) std::printf("%.3Lf", e.azimuth);
            std::printf(",");
            if (e.hasAltitude) std::printf("%.3Lf", e.altitude);
            std::printf("\n");
        }
    }
    return 0;
}
