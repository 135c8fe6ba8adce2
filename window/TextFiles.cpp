#include "window/TextFiles.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace window {

namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 marks the five
// bytes that the code page leaves undefined.
constexpr std::array<char32_t, 32> HighControlBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i)
        if (HighControlBlock[i] != 0 && HighControlBlock[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// German texts of the common error numbers of file operations. (A German
// strerror needs a German locale with its message catalogue, which a bare
// system lacks.)
struct ErrorReasonRow {
    int errnum;
    const char* text; // one sentence, UTF-8
};
constexpr std::array<ErrorReasonRow, 26> ErrorReasons = {{
    {ENOENT, "Die Datei oder der Ordner existiert nicht."},
    {EACCES, "Die Rechte reichen für den Zugriff nicht aus."},
    {EPERM, "Der Vorgang ist nicht erlaubt."},
    {EROFS, "Das Dateisystem ist schreibgeschützt."},
    {ENOSPC, "Auf dem Datenträger ist kein Platz mehr frei."},
    {EDQUOT, "Das Speicherkontingent ist ausgeschöpft."},
    {EFBIG, "Die Datei ist zu groß."},
    {EISDIR, "Der Name bezeichnet einen Ordner, keine Datei."},
    {ENOTDIR, "Ein Teil des Pfades ist kein Ordner."},
    {EEXIST, "Eine Datei dieses Namens existiert bereits."},
    {ENOTEMPTY, "Der Ordner ist nicht leer."},
    {EIO, "Beim Lesen oder Schreiben trat ein Ein-/Ausgabefehler auf."},
    {EMFILE, "Das Programm hat zu viele Dateien geöffnet."},
    {ENFILE, "Im System sind zu viele Dateien geöffnet."},
    {ENAMETOOLONG, "Der Dateiname ist zu lang."},
    {ELOOP, "Der Pfad enthält zu viele symbolische Verknüpfungen."},
    {EBUSY, "Die Datei oder das Gerät ist belegt."},
    {ETXTBSY, "Die Datei wird gerade ausgeführt."},
    {EXDEV, "Die Datei kann nicht in ein anderes Dateisystem umbenannt werden."},
    {ENOMEM, "Der Arbeitsspeicher reicht nicht aus."},
    {EINVAL, "Eine Angabe ist ungültig."},
    {ENXIO, "Das Gerät ist nicht vorhanden."},
    {ENODEV, "Das Gerät ist nicht vorhanden."},
    {EAGAIN, "Die Datei ist im Moment nicht verfügbar."},
    {EINTR, "Der Vorgang wurde unterbrochen."},
    {ESTALE, "Die Datei auf dem Netzlaufwerk ist nicht mehr gültig."},
}};

#ifndef ORVANDEL_DATA_DIR_DEFAULT
#define ORVANDEL_DATA_DIR_DEFAULT ""
#endif

// Where the data lookup goes beyond the current directory.
struct DataLookupState {
    std::string programFolder;
    std::string dataFolderOverride;
};

DataLookupState& Lookup() {
    static DataLookupState state;
    return state;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

std::string WithoutDotSlash(std::string path) {
    if (path.rfind("./", 0) == 0) path.erase(0, 2);
    return path;
}

} // namespace

std::string FindFileNoCase(const std::string& name, const std::string& folder) {
    if (name.empty()) return {};
    fs::path given(name);
    fs::path dir = given.has_parent_path()
                       ? (given.is_absolute() ? given.parent_path() : fs::path(folder) / given.parent_path())
                       : fs::path(folder);
    const std::string leaf = given.filename().string();
    std::error_code ec;
    fs::path exact = dir / leaf;
    if (fs::is_regular_file(exact, ec)) return exact.string();
    std::string found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (strcasecmp(candidate.c_str(), leaf.c_str()) == 0 && it->is_regular_file(ec)) {
            // Several spellings may exist; take the first in name order so the
            // choice does not depend on the directory's internal order.
            if (found.empty() || it->path().string() < found) found = it->path().string();
        }
    }
    return found;
}

std::string ResolveFileName(const std::string& name) {
    std::string found = FindFileNoCase(name, ".");
    if (found.empty()) return name;
    // Keep relative names relative: "./X" becomes "X".
    if (found.rfind("./", 0) == 0) found.erase(0, 2);
    return found;
}

void SetProgramFolder(const std::string& folder) {
    Lookup().programFolder = folder;
}

std::string ProgramFolder() {
    return Lookup().programFolder;
}

void SetDataFolder(const std::string& folder) {
    Lookup().dataFolderOverride = folder;
}

std::string DataFolder() {
    const DataLookupState& state = Lookup();
    if (!state.dataFolderOverride.empty()) return state.dataFolderOverride;
    if (const char* env = std::getenv("ORVANDEL_DATA_DIR"); env != nullptr && *env != '\0') return env;
    const fs::path compiled(ORVANDEL_DATA_DIR_DEFAULT);
    if (compiled.empty()) return {};
    if (compiled.is_absolute()) return compiled.string();
    if (state.programFolder.empty()) return {};
    return (fs::path(state.programFolder) / compiled).lexically_normal().string();
}

std::vector<std::string> DataSearchFolders() {
    std::vector<std::string> folders{"."};
    for (const std::string& folder : {DataFolder(), ProgramFolder()}) {
        if (folder.empty()) continue;
        bool repeated = false;
        for (const std::string& earlier : folders)
            repeated = repeated || SameFolder(earlier, folder);
        if (!repeated) folders.push_back(folder);
    }
    return folders;
}

std::string LocateDataFile(const std::string& name) {
    if (name.empty()) return {};
    if (fs::path(name).has_parent_path()) return WithoutDotSlash(FindFileNoCase(name, "."));
    for (const std::string& folder : DataSearchFolders()) {
        const std::string found = FindFileNoCase(name, folder);
        if (!found.empty()) return WithoutDotSlash(found);
    }
    return {};
}

std::string ErrorReasonText(int errnum) {
    if (errnum == 0) return "Der Grund ist nicht bekannt.";
    for (const ErrorReasonRow& row : ErrorReasons)
        if (row.errnum == errnum) return row.text;
    return "Fehler des Systems (Systemmeldung: " + std::string(std::strerror(errnum)) + ").";
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b < 0xA0) {
            char32_t c = HighControlBlock[b - 0x80];
            AppendUtf8(out, c != 0 ? c : 0xFFFD);
        } else {
            AppendUtf8(out, b);
        }
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool ok = true;
        std::size_t j = 1;
        for (; ok && j <= static_cast<std::size_t>(extra); ++j) {
            if (i + j >= text.size()) {
                ok = false;
                break;
            }
            unsigned char cb = static_cast<unsigned char>(text[i + j]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out += '?';
            i += j; // skip the lead byte and the continuation bytes seen
            continue;
        }
        out += ToCp1252(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t nl = bytes.find('\n', start);
        if (nl == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        std::size_t end = nl;
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.emplace_back(bytes.substr(start, end - start));
        start = nl + 1;
    }
    return lines;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        int err = errno;
        throw UserError("Datei \"" + AbsolutePath(path) + "\" kann nicht gelesen werden. " +
                        ErrorReasonText(err));
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        throw UserError("Datei \"" + AbsolutePath(path) + "\" kann nicht gelesen werden. " +
                        ErrorReasonText(EIO));
    }
    return buffer.str();
}

std::vector<std::string> ReadTextFileLines(const std::string& path) {
    std::vector<std::string> lines = SplitLines(ReadFileBytes(path));
    for (std::string& line : lines)
        line = Cp1252ToUtf8(line);
    return lines;
}

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
    const std::string full = AbsolutePath(path);
    auto fail = [&](int err) {
        throw UserError("Datei \"" + full + "\" kann nicht erstellt werden. " + ErrorReasonText(err));
    };
    std::string tmpl = full + ".tmp-XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0) fail(errno);
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            ::unlink(tmpl.c_str());
            fail(err);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // mkstemp creates the file with mode 0600; give it the usual mode.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        fail(err);
    }
    if (std::rename(tmpl.c_str(), full.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        fail(err);
    }
}

void WriteTextFileLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToCp1252(line);
        bytes += "\r\n";
    }
    WriteFileReplacing(path, bytes);
}

} // namespace window
