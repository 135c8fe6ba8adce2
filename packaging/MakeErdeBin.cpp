// Build step: converts the shipped "ECLGRAPH.DAT" into the "ERDE.BIN" that
// the program reads directly, with the program's own conversion, so that an
// installed program never has to write into its data folder.
//
//   orvandel-make-erde-bin FOLDER
//
// FOLDER holds "ECLGRAPH.DAT"; "ERDE.BIN" is written beside it (replaced
// only when complete). Exit status 0 on success, 1 on failure.
#include <filesystem>
#include <iostream>

#include "earth/Outlines.h"
#include "window/TextFiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Aufruf: orvandel-make-erde-bin ORDNER\n";
        return 1;
    }
    try {
        std::filesystem::current_path(argv[1]);
        // Only this folder is consulted: the conversion reads the current
        // directory's "ECLGRAPH.DAT" first and writes into the current directory.
        if (window::FindFileNoCase(earth::TextOutlineFileName, ".").empty()) {
            std::cerr << "\"" << earth::TextOutlineFileName << "\" fehlt in " << argv[1] << "\n";
            return 1;
        }
        earth::ConvertOutlineText();
        if (window::FindFileNoCase(earth::BinaryOutlineFileName, ".").empty()) {
            std::cerr << "\"" << earth::BinaryOutlineFileName << "\" wurde nicht geschrieben\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
