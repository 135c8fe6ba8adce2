// The lookup of the data files that the program reads: the current folder,
// then the installed data folder, then the executable's folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "window/TextFiles.h"

namespace fs = std::filesystem;
using namespace window;

namespace {

// Three fresh folders: the working folder (made current), a data folder and
// a program folder; the lookup's settings are reset before and after.
class DataLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvandel-lookup-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        for (const char* f : {"work", "data", "bin"})
            fs::create_directory(root_ / f);
        old_ = fs::current_path();
        fs::current_path(root_ / "work");
        unsetenv("ORVANDEL_DATA_DIR");
        SetDataFolder(Folder("data"));
        SetProgramFolder(Folder("bin"));
    }
    void TearDown() override {
        fs::current_path(old_);
        SetDataFolder("");
        SetProgramFolder("");
        unsetenv("ORVANDEL_DATA_DIR");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Folder(const char* f) const { return (root_ / f).string(); }
    void Write(const char* folder, const std::string& name) const {
        std::ofstream(root_ / folder / name, std::ios::binary) << folder;
    }
    fs::path root_, old_;
};

} // namespace

// Where each file is found when it lies in some of the three folders.
TEST_F(DataLookup, TheFirstFolderThatHasTheFileWins) {
    struct Row {
        const char* name;
        bool inWork, inData, inBin;
        std::string expected; // "" none, "work" the relative name, else the folder
    };
    const Row rows[] = {
        {"ERDE.BIN", true, true, true, "work"},  {"ERDE.BIN", false, true, true, "data"},
        {"ERDE.BIN", false, false, true, "bin"}, {"ERDE.BIN", false, false, false, ""},
        {"ERDE.BIN", true, false, true, "work"}, {"Orvandel.txt", false, true, false, "data"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " work " + std::to_string(r.inWork) + " data " +
                     std::to_string(r.inData) + " bin " + std::to_string(r.inBin));
        for (const char* f : {"work", "data", "bin"})
            fs::remove(root_ / f / r.name);
        if (r.inWork) Write("work", r.name);
        if (r.inData) Write("data", r.name);
        if (r.inBin) Write("bin", r.name);
        const std::string found = LocateDataFile(r.name);
        if (r.expected.empty())
            EXPECT_EQ(found, "");
        else if (r.expected == "work")
            EXPECT_EQ(found, r.name) << "a file of the current folder keeps its relative name";
        else
            EXPECT_EQ(found, (root_ / r.expected / r.name).string());
    }
}

TEST_F(DataLookup, EveryFolderIsSearchedWithoutRegardToCase) {
    Write("data", "Erde.bin");
    EXPECT_EQ(LocateDataFile("ERDE.BIN"), (root_ / "data" / "Erde.bin").string());
    Write("bin", "eclgraph.dat");
    EXPECT_EQ(LocateDataFile("ECLGRAPH.DAT"), (root_ / "bin" / "eclgraph.dat").string());
    Write("work", "ECLGRAPH.dat");
    EXPECT_EQ(LocateDataFile("ECLGRAPH.DAT"), "ECLGRAPH.dat");
}

TEST_F(DataLookup, FoldersComeInOrderWithoutRepeats) {
    EXPECT_EQ(DataSearchFolders(), (std::vector<std::string>{".", Folder("data"), Folder("bin")}));
    SetDataFolder(Folder("work")); // the data folder is the current one
    EXPECT_EQ(DataSearchFolders(), (std::vector<std::string>{".", Folder("bin")}));
    SetProgramFolder("");
    EXPECT_EQ(DataSearchFolders(), (std::vector<std::string>{"."}));
}

TEST_F(DataLookup, TheSetterBeatsTheEnvironmentWhichBeatsTheCompiledFolder) {
    setenv("ORVANDEL_DATA_DIR", Folder("bin").c_str(), 1);
    EXPECT_EQ(DataFolder(), Folder("data"));
    SetDataFolder("");
    EXPECT_EQ(DataFolder(), Folder("bin"));
    setenv("ORVANDEL_DATA_DIR", "", 1); // set but empty: the compiled folder
    // The compiled folder is relative to the program's folder: bin/../share/orvandel.
    EXPECT_EQ(DataFolder(), (root_ / "share" / "orvandel").string());
    SetProgramFolder("");
    EXPECT_EQ(DataFolder(), "") << "without a program folder there is no installed data folder";
}

TEST_F(DataLookup, ANameWithAFolderIsLookedUpAsGivenOnly) {
    Write("data", "ERDE.BIN");
    EXPECT_EQ(LocateDataFile("sub/ERDE.BIN"), "");
    fs::create_directory("sub");
    Write("work", "sub/erde.bin");
    EXPECT_EQ(LocateDataFile("sub/ERDE.BIN"), "sub/erde.bin");
    EXPECT_EQ(LocateDataFile(""), "");
}
