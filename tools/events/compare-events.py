#!/usr/bin/python3
"""Compares the program's rising, setting, culmination and phase instants
with an independent modern ephemeris, PyEphem (Debian's python3-ephem, whose
libastro computes the Sun from VSOP87 and the Moon from ELP 2000-82).

How to run it (from the top of a checkout):

    apt-get install -y python3-ephem
    cmake --build build/default --target orvandel-events-table
    tools/events/compare-events.py --table build/default/bin/orvandel-events-table

Options: --days N (sample days per site, default 300), --seed S (default
1950), --verbose (list the worst events). The run takes about a minute.

What it compares
- Rising, setting and culmination: for N days drawn at random from
  1950-01-01 to 2100-12-31 at each of the sites below (latitudes up to
  +-65 degrees), the program's events of the MEZ day (EventsForDays, as the
  worksheet gets them) against PyEphem's with the almanac conventions: no
  refraction model (pressure 0), the horizon at -0:34 and the upper limb
  (use_center=False, the default), so the upper limb rises at 34' below the
  true horizon; PyEphem's positions are topocentric, so the Moon's parallax
  enters as in the program's rule. The Moon's culmination altitude is
  compared with PyEphem's topocentric altitude at the program's instant
  (no refraction). A day on which the program says no_rise (no_set) is
  checked against PyEphem having no rising (setting) well inside the day.
- Phase instants: every new moon, first quarter, full moon and last quarter
  from 1950 to 2100 (ephem.next_new_moon and so on; PyEphem's elongation is
  in apparent geocentric ecliptic longitude of date).

Time scales: both sides give Universal Time. PyEphem applies its own Delta T
(29 s in 1950, 64 s in 2000, an extrapolated 225 s in 2100); the program
passes UT to its series, so its Moon lags about Delta T * 0.55"/s and its
phase instants come Delta T late. Phase differences are therefore shown both
raw and with PyEphem's Delta T taken off (the series' own error).

Differences are program minus PyEphem, in minutes of time; reported are the
number of events compared, the 99th percentile and the maximum of |diff|.
"""

import argparse
import bisect
import math
import os
import random
import signal
import subprocess
import sys

import ephem

DUBLIN_JD = 2415020.0  # Julian date of PyEphem's date 0 (1899 Dec 31, 12 h UT)
MINUTES_PER_DAY = 1440.0

# Sites: name, latitude, longitude (degrees, east positive).
SITES = [
    ("Kiel", 54.3, 10.1),
    ("Atlanta", 33.8, -84.4),
    ("Quito", -0.2, -78.5),
    ("Singapur", 1.3, 103.8),
    ("Tokio", 35.7, 139.7),
    ("Sydney", -33.9, 151.2),
    ("Kapstadt", -33.9, 18.4),
    ("Ushuaia", -54.8, -68.3),
    ("Anchorage", 61.2, -149.9),
    ("65N", 65.0, 25.0),
    ("65S", -65.0, -64.0),
]

FIRST_JD = 2433282.5  # 1950-01-01 0 h UT
LAST_JD = 2488433.5  # 2101-01-01 0 h UT

RISE_SET_TARGET = 2.0  # minutes
PHASE_TARGET = 3.0  # minutes
MATCH_WINDOW = 30.0  # minutes: farther apart, two events are not the same one
EDGE = 2.0 / MINUTES_PER_DAY  # PyEphem events this close to a day's edge may fall either side
SEARCH_SECONDS = 2.0  # PyEphem's rising search can cycle without end for a grazing Moon: give up then
abandoned_searches = []


class SearchAbandoned(Exception):
    pass


def _abandon(signum, frame):
    raise SearchAbandoned()


def run_table(table, requests):
    """Runs orvandel-events-table on the requests; returns rows per request."""
    result = subprocess.run([table], input="".join(r + "\n" for r in requests), capture_output=True,
                            text=True, check=True)
    rows = [[] for _ in requests]
    for line in result.stdout.splitlines()[1:]:
        request, body, event, jd, az, alt = line.split(",")
        rows[int(request)].append((body, event, float(jd), float(az) if az else None,
                                   float(alt) if alt else None))
    return rows


def make_observer(lat, lon):
    o = ephem.Observer()
    o.lat, o.lon = str(lat), str(lon)
    o.elevation = 0
    o.pressure = 0
    o.horizon = "-0:34"
    return o


def pyephem_horizon_events(obs, body, jd0, jd1):
    """PyEphem's risings, settings and transits with jd0 <= jd < jd1 (UT)."""
    found = []
    searches = [("rise", obs.next_rising), ("set", obs.next_setting), ("transit", obs.next_transit)]
    for kind, search in searches:
        t = jd0 - DUBLIN_JD
        tries = 0
        while t < jd1 - DUBLIN_JD and tries < 200:
            tries += 1
            signal.setitimer(signal.ITIMER_REAL, SEARCH_SECONDS)
            try:
                d = float(search(body, start=t))
            except (ephem.AlwaysUpError, ephem.NeverUpError):
                t += 1.0 / 24  # circumpolar now; look again an hour later
                continue
            except SearchAbandoned:
                abandoned_searches.append("%s %s from %s" % (body.name, kind, ephem.Date(t)))
                t += 1.0 / 24
                continue
            finally:
                signal.setitimer(signal.ITIMER_REAL, 0)
            if d + DUBLIN_JD >= jd1:
                break
            if d + DUBLIN_JD >= jd0:
                found.append((kind, d + DUBLIN_JD))
            t = d + 1.0 / MINUTES_PER_DAY
    return found


def topocentric_altitude(obs, body, jd):
    obs.date = jd - DUBLIN_JD
    body.compute(obs)
    return math.degrees(body.alt)


def percentile(values, q):
    if not values:
        return float("nan")
    s = sorted(values)
    return s[min(len(s) - 1, int(math.ceil(q * len(s))) - 1)]


def summary(name, diffs, unit="min", target=None):
    a = [abs(d) for d in diffs]
    line = "  %-26s n=%5d  p99=%7.2f  max=%7.2f %s" % (name, len(a), percentile(a, 0.99),
                                                       max(a) if a else float("nan"), unit)
    if target is not None and a:
        over = sum(1 for x in a if x > target)
        line += "  over %.0f %s: %d" % (target, unit, over)
    print(line)


def jd_text(jd):
    return str(ephem.Date(jd - DUBLIN_JD))


def compare_horizon(table, days_per_site, seed, verbose):
    rng = random.Random(seed)
    requests, cases = [], []
    for name, lat, lon in SITES:
        for _ in range(days_per_site):
            day = FIRST_JD + rng.randrange(int(LAST_JD - FIRST_JD))
            jd0 = day - 1.0 / 24  # 0.00 MEZ is 23 h UT of the day before
            requests.append("days %r %r %r 1" % (lat, lon, jd0))
            cases.append((name, lat, lon, jd0))
    rows = run_table(table, requests)

    diffs = {}  # (body, kind) -> list of minutes
    worst = []  # (|minutes|, text)
    azimuth_diffs, altitude_diffs = [], []
    unmatched, missed, contradicted = [], [], []
    sun, moon = ephem.Sun(), ephem.Moon()
    for (name, lat, lon, jd0), events in zip(cases, rows):
        obs = make_observer(lat, lon)
        reference = {}
        for body_name, body in (("sun", sun), ("moon", moon)):
            for kind, jd in pyephem_horizon_events(obs, body, jd0 - 0.05, jd0 + 1.05):
                reference.setdefault((body_name, kind), []).append(jd)
        for body_name, kind_name, jd, az, alt in events:
            if kind_name in ("rise", "set", "transit"):
                candidates = reference.get((body_name, kind_name), [])
                best = min(candidates, key=lambda r: abs(r - jd), default=None)
                if best is None or abs(best - jd) * MINUTES_PER_DAY > MATCH_WINDOW:
                    unmatched.append("%s %s %s %s" % (name, body_name, kind_name, jd_text(jd)))
                    continue
                minutes = (jd - best) * MINUTES_PER_DAY
                diffs.setdefault((body_name, kind_name), []).append(minutes)
                worst.append((abs(minutes), "%-9s %s %-7s %s  %+.2f min" % (name, body_name, kind_name,
                                                                            jd_text(jd), minutes)))
                body = sun if body_name == "sun" else moon
                if kind_name == "transit" and body_name == "moon":
                    altitude_diffs.append((alt - topocentric_altitude(obs, body, jd)) * 60)
                elif kind_name != "transit":
                    obs.date = best - DUBLIN_JD
                    body.compute(obs)
                    azimuth_diffs.append((az - math.degrees(body.az) + 180) % 360 - 180)
            elif kind_name in ("no_rise", "no_set"):
                kind = "rise" if kind_name == "no_rise" else "set"
                inside = [r for r in reference.get((body_name, kind), []) if jd0 + EDGE <= r < jd0 + 1 - EDGE]
                if inside:
                    contradicted.append("%s %s %s on the MEZ day from %s; PyEphem %s" % (
                        name, body_name, kind_name, jd_text(jd0), jd_text(inside[0])))
        # PyEphem's events well inside the day that the program lacks.
        for (body_name, kind_name), refs in reference.items():
            if body_name == "sun" and kind_name == "transit":
                continue
            mine = [jd for b, k, jd, _, _ in events if b == body_name and k == kind_name]
            for r in refs:
                if jd0 + EDGE <= r < jd0 + 1 - EDGE and not any(
                        abs(m - r) * MINUTES_PER_DAY <= MATCH_WINDOW for m in mine):
                    missed.append("%s %s %s %s" % (name, body_name, kind_name, jd_text(r)))

    print("Rising, setting, culmination: %d sites x %d days, 1950-2100, |latitude| <= 65 deg" %
          (len(SITES), days_per_site))
    everything = []
    for key in (("sun", "rise"), ("sun", "set"), ("moon", "rise"), ("moon", "set"), ("moon", "transit")):
        summary("%s %s" % key, diffs.get(key, []), target=RISE_SET_TARGET)
        everything += diffs.get(key, [])
    summary("all", everything, target=RISE_SET_TARGET)
    summary("azimuth at rise/set", azimuth_diffs, unit="deg")
    summary("moon transit altitude", altitude_diffs, unit="arcmin")
    print("  program events without a PyEphem event within %d min: %d" % (MATCH_WINDOW, len(unmatched)))
    print("  PyEphem events inside the day that the program lacks: %d" % len(missed))
    print("  no_rise/no_set days on which PyEphem has the event: %d" % len(contradicted))
    print("  PyEphem searches abandoned after %.0f s (a grazing Moon): %d" % (SEARCH_SECONDS,
                                                                          len(abandoned_searches)))
    if verbose:
        for text in unmatched + missed + contradicted + abandoned_searches:
            print("    " + text)
        print("  worst differences:")
        for _, text in sorted(worst, reverse=True)[:10]:
            print("    " + text)
    return everything


def compare_phases(table, verbose):
    rows = run_table(table, ["phases %r %r" % (FIRST_JD, LAST_JD)])[0]
    searches = {"new_moon": ephem.next_new_moon, "first_quarter": ephem.next_first_quarter_moon,
                "full_moon": ephem.next_full_moon, "last_quarter": ephem.next_last_quarter_moon}
    reference = {}
    for kind, search in searches.items():
        t, found = FIRST_JD - 1 - DUBLIN_JD, []
        while True:
            d = float(search(t))
            if d + DUBLIN_JD >= LAST_JD + 1:
                break
            found.append(d + DUBLIN_JD)
            t = d + 1
        reference[kind] = found
    raw, series, worst = [], [], []
    by_era = {}
    unmatched = 0
    for _, kind, jd, _, _ in rows:
        refs = reference[kind]
        i = bisect.bisect_left(refs, jd)
        best = min(refs[max(0, i - 1):i + 1], key=lambda r: abs(r - jd))
        minutes = (jd - best) * MINUTES_PER_DAY
        if abs(minutes) > MATCH_WINDOW:
            unmatched += 1
            continue
        delta_t = ephem.delta_t(best - DUBLIN_JD) / 60.0
        raw.append(minutes)
        series.append(minutes - delta_t)
        era = "1950-2024" if best < 2460310.5 else ("2024-2075" if best < 2478775.5 else "2075-2100")
        by_era.setdefault(era, []).append(minutes)
        worst.append((abs(minutes), "%-13s %s  %+.2f min (Delta T %.2f min)" % (kind, jd_text(jd), minutes,
                                                                               delta_t)))
    print("Phase instants 1950-2100 (program minus PyEphem)")
    summary("raw", raw, target=PHASE_TARGET)
    for era in sorted(by_era):
        summary("raw " + era, by_era[era], target=PHASE_TARGET)
    summary("minus PyEphem's Delta T", series, target=PHASE_TARGET)
    print("  mean raw %+.2f min, mean minus Delta T %+.2f min" % (sum(raw) / len(raw), sum(series) / len(series)))
    print("  program instants without a PyEphem one within %d min: %d" % (MATCH_WINDOW, unmatched))
    print("  PyEphem instants: %d, program instants: %d" % (sum(len(v) for v in reference.values()), len(rows)))
    if verbose:
        for _, text in sorted(worst, reverse=True)[:5]:
            print("    " + text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--table", default=os.path.join("build", "default", "bin", "orvandel-events-table"))
    parser.add_argument("--days", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1950)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    signal.signal(signal.SIGALRM, _abandon)
    if not os.access(args.table, os.X_OK):
        sys.exit("compare-events: %s is not an executable; build orvandel-events-table first" % args.table)
    print("PyEphem %s" % ephem.__version__)
    compare_horizon(args.table, args.days, args.seed, args.verbose)
    compare_phases(args.table, args.verbose)


if __name__ == "__main__":
    main()
