// Lunar eclipses from the program's series against the published canon, and
// the shadow geometry on constructed positions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "astro/Eclipse.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"

namespace astro {
namespace {

constexpr Real Arcsecond = Pi / 648000;
constexpr Real SecondsPerDay = 86400;

// The Julian date of a UT instant (the clock of JulianDateFromCivil is MEZ,
// UT + 1 h).
Real JulianDateUT(std::int32_t year, std::int32_t month, std::int32_t day, int h, int min, int s) {
    return JulianDateFromCivil(CalendarDate{day, month, year}, 1.00L) +
           (h * 3600 + min * 60 + s) / SecondsPerDay;
}

struct CatalogueEclipse {
    const char* name;
    std::int32_t year, month, day;
    int h, min, s; // greatest eclipse, UT
    EclipseKind kind;
    Real magnitude; // umbral magnitude; penumbral magnitude for a penumbral eclipse
};

// Greatest eclipse (UT) and magnitude from the Five Millennium Canon of Lunar
// Eclipses (Espenak and Meeus), which enlarges the shadow by Danjon's rule as
// the program does. The instants of 2026 Aug 28 and 2028 Dec 31 are known here
// to the minute only.
const CatalogueEclipse Catalogue[] = {
    {"2018 Jul 27 total", 2018, 7, 27, 20, 21, 44, EclipseKind::Total, 1.609L},
    {"2019 Jan 21 total", 2019, 1, 21, 5, 12, 14, EclipseKind::Total, 1.195L},
    {"2019 Jul 16 partial", 2019, 7, 16, 21, 30, 44, EclipseKind::Partial, 0.653L},
    {"2021 May 26 total", 2021, 5, 26, 11, 18, 43, EclipseKind::Total, 1.009L},
    {"2021 Nov 19 partial", 2021, 11, 19, 9, 2, 55, EclipseKind::Partial, 0.974L},
    {"2022 Nov 8 total", 2022, 11, 8, 10, 59, 11, EclipseKind::Total, 1.359L},
    {"2023 Oct 28 partial", 2023, 10, 28, 20, 14, 5, EclipseKind::Partial, 0.122L},
    {"2024 Mar 25 penumbral", 2024, 3, 25, 7, 12, 51, EclipseKind::Penumbral, 0.956L},
    {"2024 Sep 18 partial", 2024, 9, 18, 2, 44, 17, EclipseKind::Partial, 0.085L},
    {"2025 Mar 14 total", 2025, 3, 14, 6, 58, 44, EclipseKind::Total, 1.178L},
    {"2025 Sep 7 total", 2025, 9, 7, 18, 11, 48, EclipseKind::Total, 1.362L},
    {"2026 Mar 3 total", 2026, 3, 3, 11, 33, 39, EclipseKind::Total, 1.151L},
    {"2026 Aug 28 partial", 2026, 8, 28, 4, 13, 0, EclipseKind::Partial, 0.930L},
    {"2028 Dec 31 total", 2028, 12, 31, 16, 52, 0, EclipseKind::Total, 1.246L},
};

// The program passes UT to dynamical-time series, so its instants are late by
// Delta T (69 s in these years); the series and the reference's own rounding
// add up to 30 s.
constexpr Real ExpectedLateness = 69 / SecondsPerDay;
constexpr Real TimeTolerance = 30 / SecondsPerDay;

TEST(LunarEclipse, CatalogueEclipsesHaveTheirKindGreatestEclipseAndMagnitude) {
    for (const CatalogueEclipse& row : Catalogue) {
        SCOPED_TRACE(row.name);
        const Real catalogueUT = JulianDateUT(row.year, row.month, row.day, row.h, row.min, row.s);
        // Searched from a week away: the full Moon must be found first.
        const LunarEclipse e = FindLunarEclipse(catalogueUT - 7);
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_NEAR(static_cast<double>(e.greatest), static_cast<double>(catalogueUT + ExpectedLateness),
                    static_cast<double>(TimeTolerance));
        const Real magnitude = row.kind == EclipseKind::Penumbral ? e.atGreatest.penumbralMagnitude
                                                                  : e.atGreatest.umbralMagnitude;
        EXPECT_NEAR(static_cast<double>(magnitude), static_cast<double>(row.magnitude), 0.005);

        // The contacts the kind has, in their order about the greatest eclipse.
        ASSERT_TRUE(e.p1 && e.p4);
        EXPECT_EQ(e.u1.has_value(), row.kind != EclipseKind::Penumbral);
        EXPECT_EQ(e.u4.has_value(), row.kind != EclipseKind::Penumbral);
        EXPECT_EQ(e.u2.has_value(), row.kind == EclipseKind::Total);
        EXPECT_EQ(e.u3.has_value(), row.kind == EclipseKind::Total);
        Real before = *e.p1;
        for (const auto* c : {&e.u1, &e.u2}) {
            if (!*c) continue;
            EXPECT_LT(before, **c);
            before = **c;
        }
        EXPECT_LT(before, e.greatest);
        before = e.greatest;
        for (const auto* c : {&e.u3, &e.u4, &e.p4}) {
            if (!*c) continue;
            EXPECT_LT(before, **c);
            before = **c;
        }
        // At a contact the Moon's limb touches the circle it names (the Moon
        // moves 4 mas in the time resolution of 0.01 s).
        const LunarShadow atP1 = ComputeLunarShadow(*e.p1);
        EXPECT_NEAR(static_cast<double>(atP1.separation - atP1.penumbraRadius - atP1.moonRadius), 0,
                    0.01 * Arcsecond);
        if (e.u2) {
            const LunarShadow atU2 = ComputeLunarShadow(*e.u2);
            EXPECT_NEAR(static_cast<double>(atU2.separation - atU2.umbraRadius + atU2.moonRadius), 0,
                        0.01 * Arcsecond);
        }
    }
}

TEST(LunarEclipse, FullMoonFarFromTheNodesHasNone) {
    // The full Moon of 2020 April 8, 2h35 UT, between the penumbral eclipses of
    // January 10 and June 5: the Moon passes some 3.7 degrees from the shadow.
    const Real fullMoon = JulianDateUT(2020, 4, 8, 2, 35, 0);
    const LunarEclipse e = FindLunarEclipse(fullMoon + 3);
    EXPECT_NEAR(static_cast<double>(e.fullMoon), static_cast<double>(fullMoon), 3.0 / 1440);
    EXPECT_EQ(e.kind, EclipseKind::None);
    EXPECT_LT(e.atGreatest.penumbralMagnitude, -3);
    EXPECT_FALSE(e.p1 || e.u1 || e.u2 || e.u3 || e.u4 || e.p4);
    EXPECT_EQ(ComputeLunarShadow(fullMoon).kind, EclipseKind::None);
    EXPECT_EQ(ComputeLunarShadow(fullMoon).penumbraCoveredFraction, 0);
}

TEST(LunarEclipse, RangeHoldsEveryEclipseOnceInOrder) {
    // 2019 and 2020 in the canon: total, partial and four penumbral eclipses.
    const auto eclipses =
        FindLunarEclipses(JulianDateUT(2019, 1, 1, 0, 0, 0), JulianDateUT(2021, 1, 1, 0, 0, 0));
    const EclipseKind expected[] = {EclipseKind::Total,     EclipseKind::Partial,   EclipseKind::Penumbral,
                                    EclipseKind::Penumbral, EclipseKind::Penumbral, EclipseKind::Penumbral};
    ASSERT_EQ(eclipses.size(), std::size(expected));
    for (std::size_t i = 0; i < eclipses.size(); ++i) {
        EXPECT_EQ(eclipses[i].kind, expected[i]) << i;
        if (i > 0) {
            EXPECT_GT(eclipses[i].greatest - eclipses[i - 1].greatest, 25) << i;
        }
    }
    // A range inside the 2019 January eclipse, between U2 and U3, holds it.
    const LunarEclipse& january = eclipses.front();
    ASSERT_EQ(FindLunarEclipses(*january.u2, *january.u3).size(), 1u);
    EXPECT_TRUE(FindLunarEclipses(*january.p4 + 0.01L, *january.p4 + 10).empty());
}

TEST(LunarEclipse, UndefinedInstantsGiveNoEclipse) {
    const Real nan = std::numeric_limits<Real>::quiet_NaN(), inf = std::numeric_limits<Real>::infinity();
    for (Real jd : {nan, inf, -inf}) {
        EXPECT_EQ(FindLunarEclipse(jd).kind, EclipseKind::None);
        EXPECT_TRUE(std::isnan(FindLunarEclipse(jd).greatest));
        EXPECT_TRUE(FindLunarEclipses(jd, 2461000).empty());
    }
    EXPECT_TRUE(FindLunarEclipses(2461000, 2460000).empty());
}

TEST(LunarShadow, ShadowCentreOppositeTheApparentSun) {
    // The Sun at longitude 0 and 1 AU: its apparent longitude is 20.49"
    // smaller, so the shadow's axis points to longitude 180 deg - 20.49".
    struct Row {
        const char* name;
        Real moonLongitudeArcsec, moonLatitudeArcsec; // from longitude 180 deg, latitude 0
        Real eastArcsec, northArcsec;                 // the shadow's centre seen from the Moon
    };
    const Row rows[] = {
        {"Moon on the geometric anti-Sun point", 0, 0, -20.49L, 0},
        {"Moon on the shadow's axis", -20.49L, 0, 0, 0},
        {"Moon north of the axis", -20.49L, 900, 0, -900},
        {"Moon south-west of the axis", -620.49L, -600, 600, 600},
    };
    const Vector3 sun = MakeVector(EarthRadiiPerAU, 0, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Vector3 moon;
        SphericalToVector(
            SphericalPos{60, Pi + row.moonLongitudeArcsec * Arcsecond, row.moonLatitudeArcsec * Arcsecond},
            moon);
        const LunarShadow s = ComputeLunarShadow(sun, moon);
        EXPECT_NEAR(static_cast<double>(s.shadowOffsetLongitude / Arcsecond),
                    static_cast<double>(row.eastArcsec), 0.02);
        EXPECT_NEAR(static_cast<double>(s.shadowOffsetLatitude / Arcsecond),
                    static_cast<double>(row.northArcsec), 0.02);
        EXPECT_NEAR(static_cast<double>(s.separation / Arcsecond),
                    static_cast<double>(std::hypot(row.eastArcsec, row.northArcsec)), 0.02);
        if (s.separation > Arcsecond) {
            EXPECT_NEAR(static_cast<double>(s.shadowPositionAngle),
                        std::atan2(static_cast<double>(row.eastArcsec), static_cast<double>(row.northArcsec)),
                        1e-4);
        }
        // Within about 10' of the axis the whole disc is in the umbra.
        EXPECT_EQ(s.kind, EclipseKind::Total);
        EXPECT_EQ(s.umbraCoveredFraction, 1);
        EXPECT_EQ(s.penumbraCoveredFraction, 1);
    }
}

TEST(CircleIntersection, AreaAtTheEdgeCases) {
    struct Row {
        const char* name;
        Real r1, r2, d, area;
    };
    const Row rows[] = {
        {"disjoint", 1, 2, 3.5L, 0},
        {"touching from outside", 1, 2, 3, 0},
        {"contained", 1, 3, 1, Pi},
        {"contained, the larger first", 3, 1, 1.5L, Pi},
        {"touching from inside", 1, 3, 2, Pi},
        {"concentric equal circles", 2, 2, 0, 4 * Pi},
        {"equal circles through each other's centre", 1, 1, 1, 2 * Pi / 3 - std::sqrt(Real{3}) / 2},
        {"half a small circle on a huge circle's edge", 1, 1e6L, 1e6L, Pi / 2},
        {"a zero radius", 0, 1, 0.5L, 0},
        {"a negative radius", -1, 1, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(static_cast<double>(CircleIntersectionArea(row.r1, row.r2, row.d)),
                    static_cast<double>(row.area), 1e-6);
    }
    // The area shrinks to zero continuously toward external tangency and
    // grows to the small circle toward internal tangency.
    EXPECT_LT(CircleIntersectionArea(1, 2, 3 - 1e-6L), 1e-8);
    EXPECT_NEAR(static_cast<double>(CircleIntersectionArea(1, 3, 2 + 1e-6L)), static_cast<double>(Pi), 1e-5);
}

} // namespace
} // namespace astro
