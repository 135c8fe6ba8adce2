// Helpers shared by the earth tests: a fresh temporary working folder, and
// builders for the bytes of the three coastline files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/Numeric.h"

namespace earth_test {

// Runs each test in a new empty folder as the current directory.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvandel-earth-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        folder_ = tmpl;
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    static void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream out(name, std::ios::binary);
        out << bytes;
    }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The names in the folder, sorted.
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder_))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

inline constexpr astro::Real Deg = astro::Pi / 180;

inline std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// "ERDE.BIN" bytes from (longitude, latitude) pairs in radians.
inline std::string ErdeBin(const std::vector<std::pair<float, float>>& pairs) {
    std::string out;
    for (auto [lon, lat] : pairs) {
        for (float f : {lon, lat}) {
            const std::uint32_t b = Bits(f);
            for (int i = 0; i < 4; ++i)
                out += static_cast<char>((b >> (8 * i)) & 0xFF);
        }
    }
    return out;
}

// The float that the converter writes for an angle in degrees.
inline float RadiansF(astro::Real degrees) {
    return static_cast<float>(degrees * Deg);
}

struct CompactStep {
    unsigned latitudeCode;  // b
    unsigned longitudeCode; // a
};

// One "ERDE_0.BIN" record. `flags` sets the unused bits of bytes 0 and 2
// (bit 7 and bits 5-6 of byte 0, bit 5 of byte 2) when true.
inline std::string CompactRecord(unsigned L, unsigned B, const std::vector<CompactStep>& steps,
                                 bool flags = false, int declaredSteps = -1) {
    const unsigned n = declaredSteps >= 0 ? static_cast<unsigned>(declaredSteps) : steps.size();
    std::string out;
    out += static_cast<char>(((L >> 8) & 0x1F) | (flags ? 0xE0 : 0));
    out += static_cast<char>(L & 0xFF);
    out += static_cast<char>(((n >> 8) & 0x3) << 6 | ((B >> 8) & 0x1F) | (flags ? 0x20 : 0));
    out += static_cast<char>(B & 0xFF);
    out += static_cast<char>(n & 0xFF);
    for (const CompactStep& s : steps) {
        out += static_cast<char>(s.latitudeCode);
        out += static_cast<char>(s.longitudeCode);
    }
    return out;
}

} // namespace earth_test
