// The program editor's portable decisions: path splitting, the extension table, the caption
// and the internet-shortcut lines.
#include "dialogs/program_choice.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

namespace {

TEST(ProgramChoice, SplitsNameAndExtensionAndCutsThemAt255) {
    const struct {
        std::string path, name, extension;
    } cases[] = {
        {"C:\\Tools\\notepad.exe", "notepad", ".exe"},
        {"D:\\dir.v2\\README", "README", ""},
        {"archive.tar.gz", "archive.tar", ".gz"},
        {"C:notepad.exe", "notepad", ".exe"},
        {"\\\\server\\share/sub/run.", "run", "."},
        {"C:\\folder\\", "", ""},
        {"C:\\x\\.profile", "", ".profile"},
        {"", "", ""},
        {"C:\\" + std::string(255, 'n') + ".exe", std::string(255, 'n'), ".exe"},
        {"C:\\" + std::string(300, 'n') + ".exe", std::string(255, 'n'), ".exe"},
        {"C:\\a." + std::string(254, 'e'), "a", "." + std::string(254, 'e')},
        {"C:\\a." + std::string(400, 'e'), "a", "." + std::string(254, 'e')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 40));
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.extension, c.extension);
    }
}

TEST(ProgramChoice, TheLowerCasedExtensionDecidesTheKind) {
    const struct {
        const char* path;
        ProgramKind kind;
    } cases[] = {
        {"C:\\Tools\\notepad.exe", ProgramKind::Executable},
        {"D:\\Games\\Run.BAT", ProgramKind::Executable},
        {"x.Cmd", ProgramKind::Executable},
        {"desk.CPL", ProgramKind::Executable},
        {"C:\\Users\\Word.lnk", ProgramKind::Shortcut},
        {"site.URL", ProgramKind::InternetShortcut},
        {"readme.txt", ProgramKind::Other},
        {"C:\\folder.exe\\program", ProgramKind::Other},
        {"notepad.exe ", ProgramKind::Other},
        {"C:\\x.exe.bak", ProgramKind::Other},
        {"", ProgramKind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KindOfProgram(c.path), c.kind) << c.path;
}

TEST(ProgramChoice, AnExecutableGivesItsPathItsIconAndItsNameInCapitals) {
    const struct {
        const char* path;
        const char* caption;
    } cases[] = {
        {"C:\\Tools\\notepad.exe", "NOTEPAD"},
        {"D:\\Games\\Run.BAT", "RUN"},
        {"C:\\Office\\winword.exe", "WINWORD"},
        {"C:\\x\\Caf\xe9 7-zip.exe", "CAF\xe9 7-ZIP"}, // only A-Z change
        {"", ""},                                      // a shortcut that led nowhere
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const ProgramChoice choice = ExecutableChoice(c.path);
        EXPECT_EQ(choice.programPath, c.path);
        EXPECT_EQ(choice.iconFile, c.path);
        EXPECT_EQ(choice.iconIndex, 0);
        EXPECT_EQ(choice.caption, c.caption);
    }
    EXPECT_EQ(LowerCase("Run.BAT \xc9"), "run.bat \xc9");
}

TEST(ProgramChoice, InternetShortcutLinesSetTheIconLaterLinesWinOthersAreIgnored) {
    const struct {
        std::string content;
        std::string iconFile;
        int iconIndex;
    } cases[] = {
        {"[InternetShortcut]\r\nURL=http://x/\r\nIconFile=C:\\x\\site.ico\r\nIconIndex=2\r\n",
         "C:\\x\\site.ico", 2},
        {"IconIndex=2abc\nIconFile=a.ico", "a.ico", 2},
        {"IconFile=first.ico\nIconIndex=1\nIconFile=second.ico\nIconIndex=-7\n", "second.ico", -7},
        {"iconfile=lower.ico\nICONINDEX=5\n IconFile=blank.ico\n\tIconIndex=4\n", "keep.ico", 9},
        {"[InternetShortcut]\nURL=http://x/\n", "keep.ico", 9},
        {"", "keep.ico", 9},
        {"IconFile\nIconIndex\n", "", 0},
        {"IconIndex=  +12\nIconIndex:3\n", "keep.ico", 3},
        {"IconIndex=x9\n", "keep.ico", 0},
        {"IconIndex=99999999999\n", "keep.ico", INT_MAX},
        {"IconIndex=-99999999999\n", "keep.ico", INT_MIN},
        {"IconFile:C:\\odd.ico\n", "C:\\odd.ico", 9}, // the ninth character is dropped unseen
        {std::string("IconFile=nul.ico\0tail\nIconIndex=3", 33), "nul.ico", 3},
        {"IconFile=" + std::string(2000, 'p') + "\n", std::string(999, 'p'), 9},
        {std::string(100000, 'z') + "\nIconIndex=6", "keep.ico", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 50));
        std::istringstream in(c.content);
        std::string iconFile = "keep.ico";
        int iconIndex = 9;
        ReadInternetShortcutIcon(in, iconFile, iconIndex);
        EXPECT_EQ(iconFile, c.iconFile);
        EXPECT_EQ(iconIndex, c.iconIndex);
    }
}

} // namespace
