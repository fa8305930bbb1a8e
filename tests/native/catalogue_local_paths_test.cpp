// `korvane-catalogue check --paths`: paths that exist only on the PC a catalogue was made on.
#include "local_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(CatalogueLocalPathsTest, UserProfilesAndTemporaryFoldersAreThisPcsOnly) {
    const struct {
        const char* path;
        const char* reason; // nullptr: the same on every PC
    } cases[] = {
        {"C:\\Users\\anna\\Desktop\\game.exe", "lies under a user profile"},
        {"d:/users/Public/pic.png", "lies under a user profile"},
        {"C:\\Documents and Settings\\anna\\x.exe", "lies under a user profile"},
        {"C:\\Windows\\Temp\\setup.exe", "lies in a temporary folder"},
        {"%USERPROFILE%\\x.exe", "names a folder of the user who runs it"},
        {"%appdata%\\x\\x.ico", "names a folder of the user who runs it"},
        {"\\\\srv\\share\\Users\\x.exe", nullptr},
        {"C:\\Program Files\\Users Guide\\guide.exe", nullptr},
        {"C:\\Windows\\notepad.exe", nullptr},
        {"notepad.exe", nullptr},
        {"C:\\Users.exe", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto reason = LocalOnlyReason(c.path);
        EXPECT_EQ(reason.value_or("(none)"), c.reason ? c.reason : "(none)") << c.path;
    }
}

TEST(CatalogueLocalPathsTest, EachLocalPathOfAProgramIsNamed) {
    CatalogueData data;
    data.tabs = {"Office"};
    ProgramEntry e{};
    std::snprintf(e.caption, sizeof e.caption, "Caf\xE9");
    std::snprintf(e.programPath, sizeof e.programPath, "C:\\Users\\anna\\cafe.exe");
    std::snprintf(e.iconFile, sizeof e.iconFile, "\\\\srv\\icons\\cafe.ico");
    std::snprintf(e.screenshotPath, sizeof e.screenshotPath, "C:\\Temp\\cafe.png");
    data.entries = {ProgramEntry{}, e};
    const auto warnings = DescribeLocalPaths(data, *CodePage::Find(1252));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "the program of program 1 \"Caf\xC3\xA9\", "
                           "\"C:\\\\Users\\\\anna\\\\cafe.exe\", lies under a user profile: it "
                           "exists only on this PC");
    EXPECT_NE(warnings[1].find("the screenshot of program 1"), std::string::npos);
}

} // namespace
