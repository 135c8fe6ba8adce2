// The program's data found in an installed data folder: the coastlines are
// read from there and nothing is converted or written; files of the current
// folder come first; the shipped ERDE.BIN is what the program's own
// conversion makes.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Panel.h"
#include "earth/Outlines.h"
#include "window/FensterGraf.h"
#include "window/TextFiles.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An empty working folder (current) and a data folder holding the staged
// data of the build (ERDE.BIN, ECLGRAPH.DAT, Orvandel.txt).
class InstalledData : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvandel-installed-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        fs::create_directory(root_ / "work");
        fs::copy(ORVANDEL_STAGED_DATA, root_ / "data");
        old_ = fs::current_path();
        fs::current_path(root_ / "work");
        window::SetDataFolder((root_ / "data").string());
        window::SetProgramFolder("");
        earth::ResetOutlineFiles();
        Writes().clear();
        earth::OutlineFiles().writeFile = [](const std::string& path, std::string_view bytes) {
            Writes().push_back(path);
            window::WriteFileReplacing(path, bytes);
        };
        dataBefore_ = Listing(root_ / "data");
    }
    void TearDown() override {
        earth::ResetOutlineFiles();
        window::SetDataFolder("");
        fs::current_path(old_);
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    fs::path root_, old_;
    static std::vector<std::string>& Writes() {
        static std::vector<std::string> writes;
        return writes;
    }
    std::vector<std::string> dataBefore_;
};

} // namespace

TEST_F(InstalledData, TheCoastlinesAreReadFromTheDataFolderAndNothingIsWritten) {
    earth::OutlineSet set;
    earth::LoadOutlines(set);
    EXPECT_TRUE(set.loaded);
    EXPECT_GT(set.count, 100);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(Listing(".").empty()) << "nothing converted into the current folder";
    EXPECT_EQ(Listing(root_ / "data"), dataBefore_);
    earth::FreeOutlines(set);
}

TEST_F(InstalledData, TheCurrentFoldersTextIsConvertedThereBeforeTheInstalledFileIsUsed) {
    // A teacher's own coastlines: one segment of two points.
    std::ofstream("eclgraph.dat", std::ios::binary) << "10\r\n20\r\n11\r\n21\r\n900\r\n0\r\n999\r\n999\r\n";
    earth::OutlineSet set;
    earth::LoadOutlines(set);
    EXPECT_EQ(set.count, 1);
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0], "ERDE.BIN");
    EXPECT_TRUE(fs::exists("ERDE.BIN"));
    EXPECT_EQ(Listing(root_ / "data"), dataBefore_);
    earth::FreeOutlines(set);
}

TEST_F(InstalledData, TheStartScreenFindsItsFilesInTheDataFolder) {
    EXPECT_TRUE(window::FileIsPresent("ECLGRAPH.DAT"));
    EXPECT_TRUE(window::FileIsPresent("Erde.bin"));
    EXPECT_TRUE(window::FileIsPresent(app::StartScreenTextFile));
    EXPECT_FALSE(window::FileIsPresent("ERDE_0.BIN"));
    window::SetDataFolder((root_ / "work").string());
    EXPECT_FALSE(window::FileIsPresent("ECLGRAPH.DAT"));
}

TEST_F(InstalledData, TheShippedErdeBinIsTheProgramsOwnConversion) {
    const char* source = std::getenv("ORVANDEL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const fs::path text = fs::path(source) / "data" / "ECLGRAPH.DAT";
    const std::string converted = earth::ParseOutlineText(ReadBytes(text), text.string());
    EXPECT_EQ(ReadBytes(root_ / "data" / "ERDE.BIN"), converted);
    EXPECT_EQ(ReadBytes(root_ / "data" / "ECLGRAPH.DAT"), ReadBytes(text));
}
