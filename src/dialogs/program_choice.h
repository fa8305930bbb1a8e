#pragma once
// What choosing a program in the program editor changes: the file name split from its folder
// and extension, the caption made from it, and the icon lines of an internet shortcut.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

// The edits are limited so their texts always fit the catalogue entry's fields (terminator
// included: 500 bytes for the caption, 1000 for paths and parameters).
inline constexpr int kCaptionLimit = 499;
inline constexpr int kPathLimit = 999;

// A file name or an extension longer than this is cut; the system's names never are.
inline constexpr std::size_t kNamePartLimit = 255;

struct PathParts {
    std::string name;      // without folder and extension
    std::string extension; // with its dot, empty when the name has none
};

// Splits after the last '\' or '/' (or a drive's ':') and before the last dot of what remains.
PathParts SplitPath(std::string_view path);

// Letters A-Z / a-z only, as the C runtime's default locale converts them.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

enum class ProgramKind {
    Executable,       // .exe, .bat, .cmd, .cpl: taken as it is
    Shortcut,         // .lnk: its target is taken
    InternetShortcut, // .url: taken as it is, the icon read from its lines
    Other,            // changes nothing
};

// Decided by the extension, in any letter case.
ProgramKind KindOfProgram(std::string_view path);

// The editor's fields after choosing an executable, or a shortcut whose target is `path`.
struct ProgramChoice {
    std::string programPath;
    std::string caption;
    std::string iconFile;
    int iconIndex = 0;
};
ProgramChoice ExecutableChoice(std::string_view path);

// Reads an internet shortcut's lines: a line starting "IconFile" gives `iconFile` from its
// tenth character on, a line starting "IconIndex" gives `iconIndex` as atoi reads the text
// from its eleventh character on. Keys are case-sensitive; later lines win; without such
// lines both keep their values. A line ends at LF (a CR before it is dropped) or at a NUL.
// Only the first kPathLimit characters of an icon file are kept.
void ReadInternetShortcutIcon(std::istream& in, std::string& iconFile, int& iconIndex);

// atoi as the Windows runtime reads: blanks, a sign, digits; 0 without digits, clamped to the
// int range instead of overflowing.
int AtoiClamped(std::string_view text);
