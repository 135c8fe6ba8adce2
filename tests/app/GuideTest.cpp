// The user guide docs/Anleitung.md against the program: every key that the
// help screens (F1 in both views) and the usage text of --help name appears
// in the guide's key table, and every picture the guide shows is a PNG file
// in docs/, where the package installs it beside the guide; the links within
// the guide lead to its headings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/Export.h"
#include "app/Panel.h"

namespace {

namespace fs = std::filesystem;

const fs::path DocsDir = ORVANDEL_DOCS_DIR;
const fs::path GuideFile = DocsDir / "Anleitung.md";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// The keys of one help line: every quoted text ("e", "<=", "Ctrl C") and
// every function key followed by a colon (" F2: Abspeichern ...").
void AddHelpLineKeys(std::string_view line, std::set<std::string>& keys) {
    static const std::regex quoted("\"([^\"]+)\"");
    static const std::regex functionKey("\\b(F[0-9]+):");
    const std::string s(line);
    for (const std::regex* re : {&quoted, &functionKey})
        for (std::sregex_iterator it(s.begin(), s.end(), *re), end; it != end; ++it)
            keys.insert((*it)[1]);
}

// The keys of the usage text's block "Tasten während der Animation:": the
// first column of each line up to two blanks, split at single blanks
// ("* /" names "*" and "/").
std::set<std::string> UsageKeys(const std::string& usage) {
    std::set<std::string> keys;
    bool inBlock = false;
    for (const std::string& line : Lines(usage)) {
        if (line.rfind("Tasten während der Animation:", 0) == 0) {
            inBlock = true;
            continue;
        }
        if (!inBlock) continue;
        if (Trimmed(line).empty()) break;
        const std::string entry = Trimmed(line);
        std::istringstream column(entry.substr(0, entry.find("  ")));
        for (std::string key; column >> key;)
            keys.insert(key);
    }
    return keys;
}

// The code spans in the first column of the guide's key tables (the tables
// whose first heading is "Taste").
std::vector<std::string> GuideTableKeys(const std::vector<std::string>& guide) {
    static const std::regex code("`([^`]+)`");
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        if (guide[i].rfind('|', 0) != 0) continue;
        if (Trimmed(guide[i].substr(1, guide[i].find('|', 1) - 1)) != "Taste") continue;
        for (i += 2; i < guide.size() && guide[i].rfind('|', 0) == 0; ++i) {
            const std::string first = guide[i].substr(1, guide[i].find('|', 1) - 1);
            for (std::sregex_iterator it(first.begin(), first.end(), code), end; it != end; ++it)
                keys.push_back((*it)[1]);
        }
    }
    return keys;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// A letter key is case-sensitive ("a" is not "A"); a key name is not
// ("ESC" in the help, "Esc" in --help).
bool Names(const std::vector<std::string>& table, const std::string& key) {
    return std::any_of(table.begin(), table.end(), [&key](const std::string& k) {
        return key.size() == 1 ? k == key : Lower(k) == Lower(key);
    });
}

struct KeySource {
    const char* name;
    std::set<std::string> keys;
};

TEST(Guide, KeyTableNamesEveryKeyOfTheHelpScreensAndOfHelpOption) {
    const std::vector<std::string> guide = Lines(ReadFile(GuideFile));
    ASSERT_FALSE(guide.empty()) << "cannot read " << GuideFile;
    const std::vector<std::string> table = GuideTableKeys(guide);
    ASSERT_FALSE(table.empty()) << GuideFile << " has no key table (a table whose first column is \"Taste\")";

    KeySource sources[] = {{"the inside view's help (F1)", {}},
                           {"the outside view's help (F1)", {}},
                           {"Orvandel --help", UsageKeys(app::UsageText("/usr/share/orvandel"))}};
    for (std::string_view line : app::InsideHelpLines())
        AddHelpLineKeys(line, sources[0].keys);
    for (std::string_view line : app::OutsideHelpLines())
        AddHelpLineKeys(line, sources[1].keys);

    for (const KeySource& source : sources) {
        // A help whose layout the reading above no longer understands would
        // otherwise pass with no keys at all.
        EXPECT_GE(source.keys.size(), 10u)
            << "only " << source.keys.size() << " keys read from " << source.name;
        for (const std::string& key : source.keys)
            EXPECT_TRUE(Names(table, key))
                << source.name << " lists the key \"" << key << "\", but the key table of " << GuideFile
                << " does not name it as `" << key << "`";
    }
}

TEST(Guide, EveryPictureIsAnInstalledPngBesideTheGuide) {
    const std::string guide = ReadFile(GuideFile);
    ASSERT_FALSE(guide.empty()) << "cannot read " << GuideFile;
    static const std::regex markdownImage(R"(!\[[^\]]*\]\(\s*<?([^)\s>]+)>?)");
    static const std::regex htmlImage(R"(<img[^>]*\ssrc\s*=\s*["']([^"']+)["'])");
    std::vector<std::string> pictures;
    for (const std::regex* re : {&markdownImage, &htmlImage})
        for (std::sregex_iterator it(guide.begin(), guide.end(), *re), end; it != end; ++it)
            pictures.push_back((*it)[1]);
    ASSERT_FALSE(pictures.empty()) << GuideFile << " shows no picture";

    for (const std::string& link : pictures) {
        const fs::path path(link);
        // The package copies docs/*.png beside the guide: a picture elsewhere,
        // or of another type, would be missing from the installed guide.
        EXPECT_TRUE(path.is_relative() && link.find("://") == std::string::npos) << link;
        EXPECT_TRUE(std::none_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; }))
            << link << " lies outside docs/";
        EXPECT_EQ(path.extension(), ".png") << link;
        const fs::path file = DocsDir / path;
        if (!fs::is_regular_file(file)) {
            ADD_FAILURE() << "the guide shows " << link << ", but " << file << " is missing";
            continue;
        }
        EXPECT_EQ(ReadFile(file).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8))
            << file << " is no PNG file";
    }
}

// The anchor that the Markdown renderers (GitHub, GitLab, pandoc's gfm) give a
// heading: lower case, blanks become "-", punctuation goes; letters outside
// ASCII stay. German capitals with umlauts are the only ones the guide needs
// lowered beyond ASCII.
std::string HeadingAnchor(std::string_view heading) {
    std::string out;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const auto c = static_cast<unsigned char>(heading[i]);
        if (c == 0xE2 && i + 2 < heading.size()) { // „ “ – — … : punctuation
            i += 2;
        } else if (c == 0xC3 && i + 1 < heading.size()) {
            const auto next = static_cast<unsigned char>(heading[++i]);
            out += static_cast<char>(c);
            out += static_cast<char>(next == 0x84 || next == 0x96 || next == 0x9C ? next + 0x20 : next);
        } else if (c >= 0x80 || std::isalnum(c) || c == '-' || c == '_') {
            out += static_cast<char>(c < 0x80 ? std::tolower(c) : c);
        } else if (c == ' ') {
            out += '-';
        }
    }
    return out;
}

TEST(Guide, EveryLinkWithinTheGuideLeadsToAHeading) {
    const std::vector<std::string> guide = Lines(ReadFile(GuideFile));
    ASSERT_FALSE(guide.empty()) << "cannot read " << GuideFile;
    std::set<std::string> anchors;
    for (const std::string& line : guide) {
        const std::size_t level = line.find_first_not_of('#');
        if (level > 0 && level != std::string::npos && line[level] == ' ')
            anchors.insert(HeadingAnchor(Trimmed(line.substr(level))));
    }
    static const std::regex link(R"(\]\(#([^)\s]+)\))");
    std::string text;
    for (const std::string& line : guide)
        text += line + '\n';
    std::size_t links = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it, ++links)
        EXPECT_TRUE(anchors.count((*it)[1])) << "the link to #" << (*it)[1] << " leads to no heading";
    EXPECT_GT(links, 0u) << GuideFile << " has no table of contents";
}

} // namespace
