// Files as the program meets them: names looked up without regard to letter
// case, text in Windows-1252 with CR LF line ends, and writes that replace a
// file only when the new contents are complete.
//
// Plain C++ (no Qt), so that the coastline readers and the parameter-file
// reader can be fuzzed and tested without a window system.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace window {

// An error that the program reports to the user; what() is the German message.
class UserError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Returns the path of the file in `folder` whose name equals `name` without
// regard to letter case (an exact match is preferred), or an empty string
// when there is none. `name` must be a plain file name or a path; for a path
// only its last component is matched case-insensitively.
std::string FindFileNoCase(const std::string& name, const std::string& folder = ".");

// The name to open for `name`: the existing file that matches it without
// regard to case, else `name` unchanged (so that a new file gets the spelling
// the program asked for).
std::string ResolveFileName(const std::string& name);

// The folders in which the program looks for a data file that it reads, in
// this order: the current directory ("."), the installed data folder, the
// folder of the executable. Folders that are not known (no program folder
// set) or that repeat an earlier one are left out.
//
// The data folder is, in this order of precedence: the one given to
// SetDataFolder; the environment variable ORVANDEL_DATA_DIR when it is set and
// not empty; the folder compiled in as ORVANDEL_DATA_DIR_DEFAULT, which when
// relative is taken relative to the program folder (an installed program finds
// bin/../share/orvandel wherever the tree was installed).
std::vector<std::string> DataSearchFolders();

// The path to read for the data file `name` (a plain file name): the file
// that matches it without regard to case in the first folder of
// DataSearchFolders that has one; a file of the current directory keeps a
// relative name ("ERDE.BIN", not "./ERDE.BIN"). Empty when no folder has it.
// A name with a folder part is looked up as given only.
std::string LocateDataFile(const std::string& name);

// The folder of the executable (the program entry sets it; empty: unknown).
void SetProgramFolder(const std::string& folder);
std::string ProgramFolder();
// Overrides the data folder (tests); an empty text returns to the default.
void SetDataFolder(const std::string& folder);
// The data folder as DataSearchFolders uses it; empty when there is none.
std::string DataFolder();

// Windows-1252 bytes to UTF-8 text; the five undefined bytes become U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 text to Windows-1252 bytes; characters without a Windows-1252 byte,
// and malformed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Splits bytes into lines at CR LF or LF; a CR not followed by LF stays in the
// line. A final line without an end is kept; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view bytes);

// The reason for a failed file operation as one German sentence, from the
// system's error number (errno, or the value of a std::error_code of the
// generic or system category): the common numbers have a German text of their
// own; any other gives the system's (English) text set off in parentheses,
// "Fehler des Systems (Systemmeldung: ...)." The messages of the program never
// run a system text into the next sentence.
std::string ErrorReasonText(int errnum);

// Reads the whole file. Throws UserError with the German message
// "Datei "<path>" kann nicht gelesen werden. <reason>" on failure.
std::string ReadFileBytes(const std::string& path);

// Reads a Windows-1252 text file as UTF-8 lines (CR LF or LF).
std::vector<std::string> ReadTextFileLines(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`
// when complete, so that `path` is never left half-written. Throws UserError
// with "Datei "<full path>" kann nicht erstellt werden. <reason>" on failure;
// the old file is then untouched and the temporary file removed.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

// Writes UTF-8 lines as a Windows-1252 text file with CR LF after every line.
void WriteTextFileLines(const std::string& path, const std::vector<std::string>& lines);

// The absolute form of a path, for messages.
std::string AbsolutePath(const std::string& path);

} // namespace window
