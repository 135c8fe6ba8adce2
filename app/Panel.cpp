// The start screen, the status panel of the outside view and the two help
// screens.
#include "app/Panel.h"

#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/NumberText.h"
#include "window/TextFiles.h"

namespace app {

namespace {

PanelState& PanelStorage() {
    static PanelState state;
    return state;
}

// One degree in radians.

// The clock value with two decimals in a field of six, one leading blank
// removed.
std::string ClockText(Real value) {
    return window::WithoutOneLeadingBlank(window::FormattedNumber(value, 2.2L));
}

// True when a formatted number shows a digit other than 0, so that a
// magnitude that rounds to zero is not called southern.
bool ShowsNonZero(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= '1' && c <= '9'; });
}

// "Blick von " + the magnitude of the latitude (degrees, by the format code)
// + "°" + the hemisphere + " ekl. Breite".
std::string ViewerHeading(Real viewerLatitude, Real formatCode) {
    const Real degrees = astro::RadiansToDegrees(viewerLatitude);
    const std::string angle = window::FormattedNumber(std::fabs(degrees), formatCode);
    const bool south = degrees < 0 && ShowsNonZero(angle);
    return "Blick von " + angle + "°" + (south ? " südl. ekl. Breite" : " nördl. ekl. Breite");
}

// "Horizont" above and the compass word below the row `top` (the top of the
// Earth disc), right-aligned at x = MaxY, just inside the picture. They are
// drawn without a text background, as every frame draws its texts, so that
// they cut nothing out of the picture round them.
void DrawPictureLabels(std::int32_t top, Real latitude, int colour) {
    window::SetTextBackground(-1);
    window::SetTextAlignment(2, 0);
    window::DrawText(window::MaxY(), top, "Horizont", colour);
    window::SetTextAlignment(2, 2);
    window::DrawText(window::MaxY(), top, HorizonViewTexts(latitude).rightWord, colour);
    window::SetTextBackground(window::Black);
}

constexpr std::array<std::string_view, 14> OutsideHelp = {
    "\"e\": Einzelschritt an/aus",
    "\"p\": Pause an/aus",
    "\"*\",\"/\"  : Zeitschritt größer/kleiner",
    "\"<=\",\"=>\": Verzögerung größer/kleiner",
    "\"^\",\"v\"  : Kippen des Bildes nach hinten/vorn",
    "\"-\",\"+\"  : Richtung des Zeitschrittes",
    "\">\",\"<\"  : Mond und Sonne oder Erde größer/kleiner",
    "Wechsel der Perspektive (bei der Ansicht von außen):",
    "\"h\"      : (1. Klick) Blick über den Breitenkreis des Standortes,",
    "         : (2. Klick) Blick über Horizont bei ruhender Erde,",
    "         : (3. Klick) Blick vom Ekliptiknordpol.        ",
    "\"s\": Bildspeicherung",
    " F2: Abspeichern der Eingabeparameter",
    "\"d\": Wechsel zur Ansicht von innen",
};

constexpr std::array<std::string_view, 13> InsideHelp = {
    " weiter mit Tastendruck!",
    "    \"e\"    : Einzelschritt an/aus",
    "    \"s\"    : Speichern des Bildes",
    "    \"a\"    : Einblenden der Äquatorialkoordinaten",
    "    \"p\"    : Pause an/aus",
    "    \"+\"    : positive Zeitrichtung",
    "    \"-\"    : Änderung der Zeitrichtung",
    "    \"l\"    : Visierlinien zu Sonne und Mond",
    "  \"*\",\"/\"  : Zeitschritt größer/kleiner            \"<=\",\"=>\": Verzögerung größer/kleiner",
    "  \">\",\"<\"  : Sonne und Mond größer/kleiner                F2: Abspeichern der Eingabeparameter",
    "   \"ESC\"   : Neueingabe der Parameter ",
    "  \"Ctrl C\" : Abbruch des Programmes",
    "    \"d\"    : Wechsel zur Ansicht von außen",
};

// The outer height of the prompt dialog, frame included, as the prompts
// centre it (the client area's height is fixed; a frame is known only when
// a window manager reports one).
std::int32_t PromptDialogHeight() {
    const window::TEingabeDialog* dialog = window::EingabeDialog();
    if (dialog == nullptr) return window::EingabeClientHeight;
    int frame = dialog->frameGeometry().height() - dialog->height();
    if (const QWindow* handle = dialog->windowHandle())
        frame = std::max(frame, handle->frameMargins().top() + handle->frameMargins().bottom());
    return window::EingabeClientHeight + std::max(frame, 0);
}

// The start screen's text, or no lines when it cannot be read (the screen
// then stays black, as when the file is missing).
std::vector<std::string> StartScreenText() {
    try {
        // The current directory's text first, then the installed one.
        const std::string path = window::LocateDataFile(StartScreenTextFile);
        if (path.empty()) return {};
        return window::ReadTextFileLines(path);
    } catch (const window::UserError&) {
        return {};
    }
}

void DrawOutsideHelp() {
    const std::int32_t x = window::MaxY() - 150;
    window::FillRectangle(x, 0, window::MaxX(), window::MaxY());
    const std::int32_t step = 2 * window::CharHeight();
    std::int32_t y = step;
    for (std::size_t i = 0; i < OutsideHelp.size(); ++i) {
        const int colour = i + 1 == OutsideHelp.size() ? window::LightRed : window::White;
        window::DrawText(x, y, std::string(OutsideHelp[i]), colour);
        y += step;
    }
    window::DrawText(x, window::MaxY() - 5, std::string(OutsideHelpContinueText), window::LightRed);
}

void DrawInsideHelp() {
    window::FillRectangle(0, 0, window::MaxX(), Run().textLineY);
    window::SetFontSize(10);
    const std::int32_t step = window::CharHeight();
    std::int32_t y = step;
    for (std::size_t i = 0; i < InsideHelp.size(); ++i) {
        const bool red = i == 0 || i + 1 == InsideHelp.size();
        window::DrawText(0, y, std::string(InsideHelp[i]), red ? window::LightRed : window::White);
        y += step;
    }
}

} // namespace

PanelState& Panel() {
    return PanelStorage();
}

void ResetPanelState() {
    PanelStorage() = PanelState{};
}

// ---------------------------------------------------------------- texts

std::string PanelDateText(std::int32_t day, std::int32_t month, std::int32_t year) {
    return window::WithoutOneLeadingBlank(window::FormattedNumber(day, 2)) + "." +
           window::WithoutOneLeadingBlank(window::FormattedNumber(month, 2)) + "." +
           window::WithoutOneLeadingBlank(window::FormattedNumber(year, 4)) + "  ";
}

std::string PanelTimeText(Real startTime) {
    const std::string text = ClockText(startTime);
    // Minutes that round to 60 (14.597 formats as 14.60): the next full hour.
    if (text.find(".60") != std::string::npos) return ClockText(std::nearbyint(startTime));
    return text;
}

std::string EquatorialPositionText(Real rightAscension, Real declination) {
    constexpr std::int32_t MinutesPerDay = 24 * 60;
    std::int32_t minutes = astro::RoundToInt32(rightAscension / astro::TwoPi * MinutesPerDay) % MinutesPerDay;
    if (minutes < 0) minutes += MinutesPerDay;
    const std::string hours = std::to_string(minutes / 60);
    const std::string rest = std::to_string(minutes % 60);

    const std::int32_t tenths = astro::RoundToInt32(astro::RadiansToDegrees(declination) * 10);
    const std::int64_t magnitude = tenths < 0 ? -std::int64_t{tenths} : tenths;
    const std::string digits = std::to_string(magnitude / 10) + "," + std::to_string(magnitude % 10);
    const std::string sign = tenths > 0 ? "+" : tenths < 0 ? "−" : "";
    // The field counts characters: the minus sign is three bytes long.
    const std::size_t width = digits.size() + (sign.empty() ? 0 : 1);
    const std::string padding(width < 5 ? 5 - width : 0, ' ');

    return "α " + std::string(hours.size() < 2 ? 1 : 0, ' ') + hours + "h " +
           std::string(rest.size() < 2 ? 1 : 0, '0') + rest + "m, δ " + padding + sign + digits + "°";
}

std::string EquatorialLineText(Real sunRightAscension, Real sunDeclination, Real moonRightAscension,
                               Real moonDeclination) {
    return "Sonne: " + EquatorialPositionText(sunRightAscension, sunDeclination) +
           "   Mond: " + EquatorialPositionText(moonRightAscension, moonDeclination);
}

std::string PanelLocationText(const std::string& latitudeText, const std::string& longitudeText,
                              Real latitude, Real longitude) {
    std::string text = "Standort: " + latitudeText + "°" + (latitude >= 0 ? " n.B., " : " s.B., ") +
                       longitudeText + "°" + (longitude >= 0 ? " ö.L." : " w.L.");
    std::erase(text, '-');
    return text;
}

std::string EclipsePanelText(astro::EclipseKind kind) {
    switch (kind) {
    case astro::EclipseKind::Total:
        return "totale Mondfinsternis";
    case astro::EclipseKind::Partial:
        return "partielle Mondfinsternis";
    default:
        return {};
    }
}

HorizonViewWords HorizonViewTexts(Real latitude) {
    if (NorthernHorizonView(latitude)) return {"Westen", "Richtung Süden"};
    return {"Osten", "Richtung Norden"};
}

Real ViewerEclipticLatitude(const astro::Matrix3& viewMatrix) {
    astro::Vector3 d = astro::MakeVector(0, 0, 1);
    astro::ApplyMatrix(viewMatrix, d);
    // A rotation keeps the length 1; dividing by it keeps rounding from
    // pushing the sine past 1.
    return astro::ArcSine(d.Length > 0 ? d.Z / d.Length : d.Z);
}

std::string PoleViewHeading(Real viewerLatitude) {
    // Within one degree of the pole: the untilted view.
    if (viewerLatitude > astro::Pi / 2 - astro::Degree) return "Blick vom Nordpol der Ekliptik";
    return ViewerHeading(viewerLatitude, 2);
}

std::string LatitudeViewHeading(Real viewerLatitude) {
    return ViewerHeading(viewerLatitude, 2.1L);
}

std::string PerspectiveHeading(std::uint8_t perspective, const astro::Matrix3& viewMatrix) {
    switch (perspective) {
    case 0:
        return PoleViewHeading(ViewerEclipticLatitude(viewMatrix));
    case 1:
        return LatitudeViewHeading(ViewerEclipticLatitude(viewMatrix));
    default:
        return {};
    }
}

// ---------------------------------------------------------------- help

std::span<const std::string_view> OutsideHelpLines() {
    return OutsideHelp;
}

std::span<const std::string_view> InsideHelpLines() {
    return InsideHelp;
}

// ---------------------------------------------------------------- start screen

TextBand PromptBand(std::int32_t clientHeight, std::int32_t dialogHeight) {
    TextBand band;
    band.top = (clientHeight - dialogHeight) / 2;
    band.bottom = band.top + dialogHeight;
    return band;
}

std::vector<std::int32_t> StartScreenLineRows(std::size_t lineCount, TextBand band,
                                              std::int32_t headingHeight, std::int32_t bodyHeight) {
    // A text height of at least one row, so that the band is always passed.
    headingHeight = std::max<std::int32_t>(headingHeight, 1);
    bodyHeight = std::max<std::int32_t>(bodyHeight, 1);
    std::vector<std::int32_t> rows;
    rows.reserve(lineCount);
    std::int64_t y = 2 * static_cast<std::int64_t>(headingHeight);
    for (std::size_t i = 0; i < lineCount; ++i) {
        // The font changes to the body font only after this test for the
        // fourth line, so that line still keeps the heading's margin.
        const std::int64_t h = i <= 3 ? headingHeight : bodyHeight;
        const std::int64_t above = static_cast<std::int64_t>(band.top) - 2 * h;
        const std::int64_t below = static_cast<std::int64_t>(band.bottom) + 2 * h;
        if (above < y && y < below) {
            while (y <= below)
                y += h;
        }
        rows.push_back(static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX)));
        y += i < 3 ? headingHeight : bodyHeight;
    }
    return rows;
}

void ShowStartScreen() {
    Parameters& p = Params();
    // The globe needs one of the coastline files; the compact one serves as
    // well as the other two.
    if (!window::FileIsPresent("ECLGRAPH.DAT") && !window::FileIsPresent("Erde.bin") &&
        !window::FileIsPresent("ERDE_0.BIN")) {
        window::SetTextStyle("Courier", 20, 1);
        window::SetTextAlignment(0, 0);
        window::DrawText(50, 50, "Das Programm benötigt zur Darstellung der Erdkugel", window::LightRed);
        window::DrawText(50, 50 + 2 * window::CharHeight(),
                         " eine der Dateien \"ECLGRAPH.DAT\" oder \"Erde.bin\" !", window::LightRed);
        p.keepStartScreen = true;
        return;
    }

    // The band that the prompt dialog will cover: it is centred on the
    // client area, whose rows the text uses.
    const TextBand band = PromptBand(window::MaxY() + 1, PromptDialogHeight());

    p.keepStartScreen = false;
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
    window::SetTextBackground(window::Black);

    if (!window::FileIsPresent(StartScreenTextFile)) return;
    const std::vector<std::string> lines = StartScreenText();

    window::SetTextStyle("Courier", 10, 0);
    const std::int32_t bodyHeight = window::CharHeight();
    window::SetTextStyle("Courier", 14, 1);
    const std::int32_t headingHeight = window::CharHeight();
    const std::vector<std::int32_t> rows = StartScreenLineRows(lines.size(), band, headingHeight, bodyHeight);

    window::SetTextAlignment(0, 0);
    int colour = window::Yellow;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 3) {
            window::SetTextStyle("Courier", 10, 0);
            colour = window::White;
        }
        // Lines below the window would be drawn outside the visible area.
        if (rows[i] - window::CharHeight() <= window::MaxY()) window::DrawText(0, rows[i], lines[i], colour);
    }
    p.keepStartScreen = true;
}

// ---------------------------------------------------------------- panel

void DrawOutsideLabels() {
    DrawOutsidePanel();
    // The words on the picture beside the top of the Earth: those of the
    // horizon perspective, or in the view from the ecliptic pole the same
    // words in black, which erase what perspective 2 left there.
    const RunState& run = Run();
    const std::int32_t top = run.earthCentreY - run.earthRadiusPx;
    if (run.perspective == 2)
        DrawPictureLabels(top, Params().latitude, window::LightGray);
    else if (run.perspective == 0)
        DrawPictureLabels(top, Params().latitude, window::Black);
    window::SetTextAlignment(0, 0);
}

void DrawOutsidePanel() {
    const Parameters& p = Params();
    const RunState& run = Run();
    PanelState& panel = PanelStorage();
    const std::int32_t maxX = window::MaxX();
    const std::int32_t maxY = window::MaxY();

    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(maxY, 0, maxX, maxY);
    // The panel's texts on its own black: the text background may still be
    // the white that the palette's initialisation sets before a run starts.
    window::SetTextBackground(window::Black);

    panel.panelDateText = PanelDateText(p.startDay, p.startMonth, p.startYear);
    panel.panelTimeText = PanelTimeText(p.startTime);

    window::SetTextStyle("Courier", 20, 1);
    window::SetTextAlignment(0, 0);
    std::int32_t y = 2 * window::CharHeight();
    window::DrawText(maxY + 10, y, panel.panelDateText, window::White);
    y += window::CharHeight();
    window::DrawText(maxY + 10, y, panel.panelTimeText + " Uhr MEZ", window::White);
    y += window::CharHeight();

    window::SetTextStyle("Courier", 10, 0);
    window::SetTextAlignment(0, 0);
    panel.panelLocationText = PanelLocationText(p.latitudeText, p.longitudeText, p.latitude, p.longitude);
    window::DrawText(maxY + 10, y, panel.panelLocationText, window::White);
    panel.panelEclipseText = EclipsePanelText(Scene().shadow.kind);
    if (!panel.panelEclipseText.empty())
        window::DrawText(maxY + 10, y + window::CharHeight(), panel.panelEclipseText, window::LightRed);

    window::SetTextStyle("Courier", 16, 1);
    window::DrawText(maxY, 200 - window::CharHeight(),
                     run.perspective == 2 ? " hor. System:" : " ekl. System:", window::White);

    window::SetTextStyle("Courier", 10, 0);
    window::SetTextAlignment(2, 0);
    window::DrawText(maxX, maxY - 5, "F1: Hilfe ", window::LightRed);
    window::SetTextAlignment(0, 0);

    const std::int32_t cy = run.earthCentreY;
    switch (run.perspective) {
    case 0:
        window::SetTextAlignment(0, 1);
        window::DrawText(maxY, cy, " zum Frühlingspunkt ------->", window::Yellow);
        window::SetTextAlignment(0, 0);
        window::DrawText(maxY + window::CharWidth(), 200, PerspectiveHeading(0, run.viewMatrix),
                         window::White);
        break;
    case 1:
        window::DrawText(maxY + window::CharWidth(), 200, PerspectiveHeading(1, run.viewMatrix),
                         window::White);
        window::DrawLine(maxY, cy, maxY + 50, cy, window::Yellow);
        window::SetTextAlignment(0, 1);
        window::DrawText(maxY + 60, cy, "zum Frühlingspunkt", window::Yellow);
        window::SetTextAlignment(0, 0);
        break;
    default:
        window::DrawText(maxY + 10, 200, "Blick über den Horizont des Standortes     ", window::White);
        window::DrawText(maxY + 10, 200 + window::CharHeight(), HorizonViewTexts(p.latitude).heading,
                         window::White);
        break;
    }
}

// ---------------------------------------------------------------- help

void ShowHelp() {
    Parameters& p = Params();
    RunState& run = Run();
    // A second F1 while a help is on display keeps the mode saved by the
    // first, so that the next frame restores the user's own.
    if (!run.redrawAfterHelp) run.savedSingleStep = p.singleStep;
    p.singleStep = true;
    window::SetFillColour(255, window::Black, window::Black);
    window::SetTextAlignment(0, 0);
    window::SetTextBackground(window::Black);
    if (p.viewMode == 1)
        DrawOutsideHelp();
    else
        DrawInsideHelp();
    run.redrawAfterHelp = true;
}

} // namespace app
