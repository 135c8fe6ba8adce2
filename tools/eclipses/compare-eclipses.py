#!/usr/bin/python3
"""Accuracy check of the program's lunar eclipses against an independent ephemeris.

How to run (from the repository's top folder):

    apt-get install -y python3-ephem         # Debian's PyEphem (libastro), once
    cmake -S . -B build/default -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build/default --target orvandel-eclipse-table
    /usr/bin/python3 tools/eclipses/compare-eclipses.py [--table PROGRAM] [--first 2000] [--last 2030] [--list]

PROGRAM defaults to build/default/bin/orvandel-eclipse-table. The exit status is
0 when every kind agrees and every contact is within --tolerance minutes
(default 3), 1 otherwise.

What it does:
  1. Runs orvandel-eclipse-table, which prints the program's eclipses of the
     years (its own Sun and Moon series, Universal Time, no Delta T).
  2. Computes every full Moon of the years again with PyEphem's positions and,
     for each, the greatest eclipse (least distance of the Moon's centre from
     the shadow's axis), the kind and the contacts P1, U1, U2, U3, U4, P4, by
     the same shadow geometry but code of its own: geocentric apparent right
     ascension and declination of date of the Sun (with aberration) and of
     the Moon (PyEphem applies no annual aberration to the Moon), the
     shadow's axis opposite the apparent Sun; the Earth's radius enlarged by
     Danjon's rule (0.998340 of the equatorial 6378.14 km, times 1 + 1/85);
     the Sun's radius 696 000 km, the Moon's 1737.4 km.
  3. Compares the kinds and the contacts, and the kinds with the catalogue
     list below.

Time scales. PyEphem takes and gives Universal Time and converts to
dynamical time itself with its Delta T (observed values for the past, the
polynomial of the five-millennium canons for the future: 63.8 s in 2000,
69.4 s in 2019, 77.6 s in 2030 - up to 8 s more than the Earth has turned
out to need after 2020, which moves a contact by at most 8 s). These are the
true UT instants ("UT" column). The program passes UT to its series, which
are dynamical-time theories, so its instants are late by Delta T; the
"series" column shows the comparison with PyEphem under the program's
convention (PyEphem's positions at dynamical time = the UT value), which
isolates the difference of the series and the shadow code.
"""

import argparse
import csv
import math
import os
import subprocess
import sys

import ephem

# ---------------------------------------------------------------- catalogue data
# Lunar eclipses 2000-2030 with their kind, from the published five-millennium
# canon of lunar eclipses (Espenak and Meeus), as far as known here with
# certainty: (year, month, day of greatest eclipse in UT, kind). Every eclipse
# of the years CATALOGUE_YEARS is listed here or in BORDERLINE.
CATALOGUE_YEARS = (2000, 2030)
CATALOGUE = [
    (2000, 1, 21, "total"), (2000, 7, 16, "total"),
    (2001, 1, 9, "total"), (2001, 7, 5, "partial"), (2001, 12, 30, "penumbral"),
    (2002, 5, 26, "penumbral"), (2002, 6, 24, "penumbral"), (2002, 11, 20, "penumbral"),
    (2003, 5, 16, "total"), (2003, 11, 9, "total"),
    (2004, 5, 4, "total"), (2004, 10, 28, "total"),
    (2005, 4, 24, "penumbral"), (2005, 10, 17, "partial"),
    (2006, 3, 14, "penumbral"), (2006, 9, 7, "partial"),
    (2007, 3, 3, "total"), (2007, 8, 28, "total"),
    (2008, 2, 21, "total"), (2008, 8, 16, "partial"),
    (2009, 2, 9, "penumbral"), (2009, 7, 7, "penumbral"), (2009, 8, 6, "penumbral"), (2009, 12, 31, "partial"),
    (2010, 6, 26, "partial"), (2010, 12, 21, "total"),
    (2011, 6, 15, "total"), (2011, 12, 10, "total"),
    (2012, 6, 4, "partial"), (2012, 11, 28, "penumbral"),
    (2013, 4, 25, "partial"), (2013, 5, 25, "penumbral"), (2013, 10, 18, "penumbral"),
    (2014, 4, 15, "total"), (2014, 10, 8, "total"),
    (2015, 4, 4, "total"), (2015, 9, 28, "total"),
    (2016, 3, 23, "penumbral"), (2016, 9, 16, "penumbral"),
    (2017, 2, 11, "penumbral"), (2017, 8, 7, "partial"),
    (2018, 1, 31, "total"), (2018, 7, 27, "total"),
    (2019, 1, 21, "total"), (2019, 7, 16, "partial"),
    (2020, 1, 10, "penumbral"), (2020, 6, 5, "penumbral"), (2020, 7, 5, "penumbral"), (2020, 11, 30, "penumbral"),
    (2021, 5, 26, "total"), (2021, 11, 19, "partial"),
    (2022, 5, 16, "total"), (2022, 11, 8, "total"),
    (2023, 5, 5, "penumbral"), (2023, 10, 28, "partial"),
    (2024, 3, 25, "penumbral"), (2024, 9, 18, "partial"),
    (2025, 3, 14, "total"), (2025, 9, 7, "total"),
    (2026, 3, 3, "total"), (2026, 8, 28, "partial"),
    (2027, 2, 20, "penumbral"), (2027, 8, 17, "penumbral"),
    (2028, 1, 12, "partial"), (2028, 7, 6, "partial"), (2028, 12, 31, "total"),
    (2029, 6, 26, "total"), (2029, 12, 20, "total"),
    (2030, 6, 15, "partial"), (2030, 12, 9, "penumbral"),
]
# Grazes of the penumbra whose listing depends on the enlargement rule and on
# hundredths of a magnitude: reported, not counted as right or wrong.
BORDERLINE = [(2016, 8, 18), (2027, 7, 18)]

# ---------------------------------------------------------------- shadow geometry
EARTH_RADIUS_KM = 6378.14
EARTH_RADII_PER_AU = 23454.78
SHADOW_EARTH_RADIUS = 0.998340 * (1 + 1 / 85)  # Danjon's rule, equatorial radii
SUN_RADIUS = 696000 / EARTH_RADIUS_KM  # Earth radii
MOON_RADIUS = 1737.4 / EARTH_RADIUS_KM  # Earth radii
KINDS = ("none", "penumbral", "partial", "total")
CONTACTS = ("p1", "u1", "u2", "u3", "u4", "p4")
JD_OF_EPHEM_ZERO = 2415020.0  # PyEphem counts days from 1899 December 31, 12h


def unit(ra, dec):
    return (math.cos(dec) * math.cos(ra), math.cos(dec) * math.sin(ra), math.sin(dec))


class Shadow:
    """The Moon and the Earth's shadow at one PyEphem date (radians)."""

    def __init__(self, date):
        sun, moon = ephem.Sun(date), ephem.Moon(date)
        axis = [-c for c in unit(sun.g_ra, sun.g_dec)]
        m = unit(moon.g_ra, moon.g_dec)
        cross = (axis[1] * m[2] - axis[2] * m[1], axis[2] * m[0] - axis[0] * m[2], axis[0] * m[1] - axis[1] * m[0])
        self.separation = math.atan2(math.sqrt(sum(c * c for c in cross)), sum(a * b for a, b in zip(axis, m)))
        sun_distance = sun.earth_distance * EARTH_RADII_PER_AU
        moon_distance = moon.earth_distance * EARTH_RADII_PER_AU
        parallaxes = math.asin(SHADOW_EARTH_RADIUS / moon_distance) + math.asin(SHADOW_EARTH_RADIUS / sun_distance)
        sun_radius = math.asin(SUN_RADIUS / sun_distance)
        self.umbra = parallaxes - sun_radius
        self.penumbra = parallaxes + sun_radius
        self.moon = math.asin(MOON_RADIUS / moon_distance)

    def kind(self):
        umbral = (self.umbra + self.moon - self.separation) / (2 * self.moon)
        penumbral = (self.penumbra + self.moon - self.separation) / (2 * self.moon)
        return "total" if umbral >= 1 else "partial" if umbral > 0 else "penumbral" if penumbral > 0 else "none"


class Clock:
    """Maps a UT Julian date to the PyEphem date whose positions are used."""

    def __init__(self, program_convention):
        self.program_convention = program_convention

    def shadow(self, jd):
        d = jd - JD_OF_EPHEM_ZERO
        if self.program_convention:
            # PyEphem's dynamical time (d + Delta T) made equal to the UT value.
            for _ in range(2):
                d = jd - JD_OF_EPHEM_ZERO - ephem.delta_t(d) / 86400
        return Shadow(ephem.Date(d))


def golden_minimum(f, a, b, resolution=1e-8):
    g = (math.sqrt(5) - 1) / 2
    c, d = b - g * (b - a), a + g * (b - a)
    fc, fd = f(c), f(d)
    while b - a > resolution:
        if fc < fd:
            b, d, fd = d, c, fc
            c = b - g * (b - a)
            fc = f(c)
        else:
            a, c, fc = c, d, fd
            d = a + g * (b - a)
            fd = f(d)
    return (a + b) / 2


def bisect(f, inside, outside, resolution=1e-7):
    if not f(outside) > 0:
        return None
    while abs(outside - inside) > resolution:
        middle = (inside + outside) / 2
        if f(middle) > 0:
            outside = middle
        else:
            inside = middle
    return (inside + outside) / 2


def eclipse_at(clock, full_moon_jd):
    """The eclipse (kind, greatest, contacts) at the full Moon, all UT Julian dates."""
    greatest = golden_minimum(lambda t: clock.shadow(t).separation, full_moon_jd - 0.25, full_moon_jd + 0.25)
    at = clock.shadow(greatest)
    result = {"kind": at.kind(), "greatest": greatest}
    tangencies = {
        ("p1", "p4"): lambda s: s.separation - (s.penumbra + s.moon),
        ("u1", "u4"): lambda s: s.separation - (s.umbra + s.moon),
        ("u2", "u3"): lambda s: s.separation - (s.umbra - s.moon),
    }
    for (entering, leaving), g in tangencies.items():
        result[entering] = result[leaving] = None
        if result["kind"] != "none" and g(at) < 0:
            f = lambda t, g=g: g(clock.shadow(t))
            result[entering] = bisect(f, greatest, greatest - 0.3)
            result[leaving] = bisect(f, greatest, greatest + 0.3)
    return result


def ephem_eclipses(clock, jd_from, jd_to):
    eclipses = []
    d = ephem.Date(jd_from - JD_OF_EPHEM_ZERO - 20)
    while True:
        d = ephem.next_full_moon(d)
        jd = float(d) + JD_OF_EPHEM_ZERO
        if jd > jd_to + 1:
            return eclipses
        e = eclipse_at(clock, jd)
        if e["kind"] != "none" and e["p4"] >= jd_from and e["p1"] <= jd_to:
            eclipses.append(e)
        d = ephem.Date(d + 1)


# ---------------------------------------------------------------- the comparison
def jd_of_date(year, month, day):
    return float(ephem.Date((year, month, day))) + JD_OF_EPHEM_ZERO


def date_text(jd):
    return ephem.Date(jd - JD_OF_EPHEM_ZERO).datetime().strftime("%Y-%m-%d %H:%M:%S")


def read_program(table, first, last):
    out = subprocess.run([table, str(first), str(last)], check=True, capture_output=True, text=True).stdout
    rows = []
    for r in csv.DictReader(out.splitlines()):
        e = {"kind": r["kind"], "greatest": float(r["greatest"])}
        for c in CONTACTS:
            e[c] = float(r[c]) if r[c] else None
        e["umbral"], e["penumbral"] = float(r["umbral_magnitude"]), float(r["penumbral_magnitude"])
        rows.append(e)
    return rows


def find(eclipses, jd):
    near = [e for e in eclipses if abs(e["greatest"] - jd) < 1]
    return near[0] if near else None


def contact_differences(program, reference):
    """Minutes, program minus reference, for greatest and each contact both have; and missing ones."""
    diffs, missing = {}, []
    for c in ("greatest",) + CONTACTS:
        if (program[c] is None) != (reference[c] is None):
            missing.append(c)
        elif program[c] is not None:
            diffs[c] = (program[c] - reference[c]) * 1440
    return diffs, missing


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--table", default=os.path.join(here, "..", "..", "build", "default", "bin",
                                                         "orvandel-eclipse-table"))
    parser.add_argument("--first", type=int, default=2000)
    parser.add_argument("--last", type=int, default=2030)
    parser.add_argument("--tolerance", type=float, default=3.0, help="minutes")
    parser.add_argument("--list", action="store_true", help="print every eclipse compared")
    args = parser.parse_args()

    jd_from, jd_to = jd_of_date(args.first, 1, 1), jd_of_date(args.last + 1, 1, 1)
    program = read_program(args.table, args.first, args.last)
    true_ut = ephem_eclipses(Clock(False), jd_from, jd_to)
    convention = ephem_eclipses(Clock(True), jd_from, jd_to)

    failures = []
    worst = {"UT": (0, None, None), "series": (0, None, None)}
    keys = sorted({round(e["greatest"]) for e in program + true_ut})
    merged = []
    for k in keys:
        if any(abs(m - k) < 1 for m in merged):
            continue
        merged.append(k)
    if args.list:
        print("%-19s  %-9s %-9s  %8s %8s  %s" % ("greatest (UT)", "program", "PyEphem", "max UT", "max ser",
                                                 "umbral/penumbral magnitude (program)"))
    for k in merged:
        p, r, c = find(program, k), find(true_ut, k), find(convention, k)
        kp, kr = (p["kind"] if p else "none"), (r["kind"] if r else "none")
        if kp != kr:
            failures.append("%s: kind %s in the program, %s with PyEphem" % (date_text(k), kp, kr))
        line_max = {}
        for label, ref in (("UT", r), ("series", c)):
            if not (p and ref):
                continue
            diffs, missing = contact_differences(p, ref)
            if missing:
                failures.append("%s: contacts %s only on one side (%s)" % (date_text(k), ",".join(missing), label))
            name, value = max(diffs.items(), key=lambda kv: abs(kv[1]))
            line_max[label] = value
            if abs(value) > abs(worst[label][0]):
                worst[label] = (value, name, p["greatest"])
            if label == "UT" and abs(value) > args.tolerance:
                failures.append("%s: %s differs by %.2f min" % (date_text(k), name, value))
        if args.list:
            mags = "%.4f/%.4f" % (p["umbral"], p["penumbral"]) if p else ""
            print("%-19s  %-9s %-9s  %8.2f %8.2f  %s" % (date_text(p["greatest"] if p else r["greatest"]), kp, kr,
                                                         line_max.get("UT", 0), line_max.get("series", 0), mags))

    # The catalogue's kinds.
    catalogue_right, catalogue_checked = 0, 0
    for year, month, day, kind in CATALOGUE:
        if not args.first <= year <= args.last:
            continue
        catalogue_checked += 1
        jd = jd_of_date(year, month, day) + 0.5
        p = find(program, jd)
        kp = p["kind"] if p else "none"
        if kp == kind:
            catalogue_right += 1
        else:
            failures.append("%04d-%02d-%02d: kind %s in the program, %s in the catalogue" % (year, month, day, kp, kind))
    listed = [jd_of_date(y, m, d) + 0.5 for y, m, d, _ in CATALOGUE] + [jd_of_date(*b) + 0.5 for b in BORDERLINE]
    for p in program:
        in_catalogue_years = CATALOGUE_YEARS[0] <= int(date_text(p["greatest"])[:4]) <= CATALOGUE_YEARS[1]
        if in_catalogue_years and not any(abs(jd - p["greatest"]) < 1 for jd in listed):
            failures.append("%s: %s eclipse in the program, none in the catalogue" % (date_text(p["greatest"]),
                                                                                     p["kind"]))

    print("Lunar eclipses %d-%d: %d in the program, %d with PyEphem (true UT)." % (args.first, args.last,
                                                                                 len(program), len(true_ut)))
    print("Kinds like PyEphem: %d of %d." % (sum(1 for k in merged if (find(program, k) or {}).get("kind") ==
                                                 (find(true_ut, k) or {}).get("kind")), len(merged)))
    print("Kinds like the catalogue: %d of %d listed eclipses." % (catalogue_right, catalogue_checked))
    for b in BORDERLINE:
        if args.first <= b[0] <= args.last:
            jd = jd_of_date(*b) + 0.5
            p, r = find(program, jd), find(true_ut, jd)
            print("Borderline %04d-%02d-%02d (not counted): program %s%s, PyEphem %s." % (
                b + ((p or {}).get("kind", "none"), " (penumbral magnitude %.4f)" % p["penumbral"] if p else "",
                     (r or {}).get("kind", "none"))))
    for label, text in (("UT", "true UT (PyEphem with Delta T)"), ("series", "the program's convention (no Delta T)")):
        value, name, jd = worst[label]
        if name:
            print("Largest contact difference against %s: %+.2f min (%s of %s)." % (text, value, name,
                                                                                  date_text(jd)[:10]))
    for f in failures:
        print("FAIL " + f)
    print("OK" if not failures else "%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
