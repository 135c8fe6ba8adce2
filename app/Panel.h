// The fixed texts round the animation: the start screen, the status panel of
// the outside view and the help screens of F1.
//
// The panel occupies the strip of the client area right of x = MaxY; the
// pictures use the square from x = 0 to MaxY. The text builders below are pure
// functions, so that every label can be checked without drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astro/Eclipse.h"
#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

// The panel's texts as last drawn; the outside view's run start also writes
// the date and time beside the Moons of its opening trail.
struct PanelState {
    std::string panelDateText;     // "7.12.2026  " (with two trailing blanks)
    std::string panelTimeText;     // "15.00", without " Uhr MEZ"
    std::string panelLocationText; // "Standort: 54.3° n.B., 10.1° ö.L."
    std::string panelEclipseText;  // "totale Mondfinsternis", or empty
};

PanelState& Panel();
void ResetPanelState();

// Once, before the first prompt of a program started without arguments.
void ShowStartScreen();
// Redraws the status panel of the outside view and the words that the
// perspectives write on the picture.
void DrawOutsideLabels();
// The status panel alone: the strip right of x = MaxY, filled black, with its
// texts.
void DrawOutsidePanel();
// The help of the current view; it stays until the next key (single-step
// mode until the next frame, which restores the mode).
void ShowHelp();

// ---------------------------------------------------------------- texts

// Day and month in width 2, the year in width 4, each with one leading blank
// removed, joined with "." and followed by two blanks: "7.12.2026  ".
std::string PanelDateText(std::int32_t day, std::int32_t month, std::int32_t year);

// The clock value hh.mm with two decimals in width 6, one leading blank
// removed (" 9.05"); a minute part that rounds to 60 shows as the next full
// hour (14.597 gives "15.00").
std::string PanelTimeText(Real startTime);

// "Standort: " + latitude text + "°" + " n.B., " or " s.B., " + longitude text
// + "°" + " ö.L." or " w.L.", with every "-" removed. The words follow the
// signs of latitude and longitude (any unit); the numbers are the texts as
// entered.
std::string PanelLocationText(const std::string& latitudeText, const std::string& longitudeText,
                              Real latitude, Real longitude);

// The line below the place while the Moon is in the umbra: "totale
// Mondfinsternis" or "partielle Mondfinsternis"; empty for a penumbral
// eclipse and without one.
std::string EclipsePanelText(astro::EclipseKind kind);

// The words of the horizon perspective (2) for a site at this latitude
// (radians): the compass direction at the picture's right beside the horizon
// line, and the line under the panel's heading that says where the view
// looks. They follow the hemisphere of that view (NorthernHorizonView), as
// the scene and the globe do: "Westen" and "Richtung Süden" for a view from
// the north, "Osten" and "Richtung Norden" for one from the south.
struct HorizonViewWords {
    const char* rightWord;
    const char* heading;
};
HorizonViewWords HorizonViewTexts(Real latitude);

// The ecliptic latitude (radians, north positive) of the viewer whom the
// outside view's picture is drawn for. The picture shows the model frame
// (ecliptic coordinates, Z toward the ecliptic north pole) turned by
// inverseViewMatrix with the screen's normal toward the viewer as Z, so the
// viewer looks from the model direction viewMatrix * (0, 0, 1). (Every view
// matrix turns about X: inverseViewMatrix * (0, 0, 1) has the same Z.)
Real ViewerEclipticLatitude(const astro::Matrix3& viewMatrix);

// The heading at (MaxY + CharWidth, 200) for perspective 0 (view from the
// ecliptic north pole, tiltable) and 1 (view over the latitude circle), for a
// viewer at the ecliptic latitude given in radians:
//  - 0: within 1 degree of the north pole "Blick vom Nordpol der Ekliptik",
//    else "Blick von 60° nördl. ekl. Breite" (degrees rounded, width 2);
//  - 1: "Blick von  59.2° nördl. ekl. Breite" (one decimal, width 5).
// A viewer south of the ecliptic gets "südl." with the magnitude.
std::string PoleViewHeading(Real viewerLatitude);
std::string LatitudeViewHeading(Real viewerLatitude);
// The heading of a perspective (empty for 2, which has two fixed lines).
std::string PerspectiveHeading(std::uint8_t perspective, const astro::Matrix3& viewMatrix);

// The inside view's line of equatorial coordinates (UTF-8), right ascension
// and declination in radians:
// "Sonne: α 16h 58m, δ −22,8°   Mond: α  3h 05m, δ  +7,4°". The right
// ascension is rounded to the minute (23h 59.7m shows as " 0h 00m"), its
// hours in a field of two; the declination is rounded to a tenth of a degree,
// with a decimal comma, its sign ("+", or the minus sign U+2212; none for
// 0,0) and digits right-aligned in a field of five characters, so that the
// line keeps its layout from frame to frame.
std::string EquatorialPositionText(Real rightAscension, Real declination);
std::string EquatorialLineText(Real sunRightAscension, Real sunDeclination, Real moonRightAscension,
                               Real moonDeclination);

// ---------------------------------------------------------------- help

// The lines of the outside view's help (drawn at x = MaxY - 150, every second
// text row); all White except the last, which is LightRed.
std::span<const std::string_view> OutsideHelpLines();
// Drawn LightRed at (MaxY - 150, MaxY - 5).
inline constexpr std::string_view OutsideHelpContinueText = "weiter mit Tastendruck !";
// The lines of the inside view's help (from the top, one per text row): the
// first and the last LightRed, the others White.
std::span<const std::string_view> InsideHelpLines();

// ---------------------------------------------------------------- start screen

// The rows (client coordinates) that the prompt dialog covers.
struct TextBand {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

// The band of a dialog dialogHeight high (outer height) centred on a client
// area clientHeight high: top = (clientHeight - dialogHeight) / 2 (truncated),
// bottom = top + dialogHeight.
TextBand PromptBand(std::int32_t clientHeight, std::int32_t dialogHeight);

// The bottom rows of the start screen's lines (text drawn bottom-aligned) for
// a text of lineCount lines: the first three in the heading font, whose text
// height is headingHeight, the rest in the body font (bodyHeight). The first
// line sits two heading heights below the top; a line whose bottom would lie
// within two text heights of the band moves on, a text height at a time, to
// beyond two text heights below it.
std::vector<std::int32_t> StartScreenLineRows(std::size_t lineCount, TextBand band,
                                              std::int32_t headingHeight, std::int32_t bodyHeight);

// The start screen's text file and the coastline files whose absence it
// warns about.
inline constexpr const char* StartScreenTextFile = "Orvandel.txt";

} // namespace app
