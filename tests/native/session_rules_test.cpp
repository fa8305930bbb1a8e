#include "session/session_rules.h"

#include <gtest/gtest.h>

namespace {

const std::vector<ProtectedFolder> kProtected = {
    {"the desktop's data folder", "C:\\ProgramData\\Quillmoran\\Shell", true},
    {"the folder of korvane.exe", "C:\\Program Files\\Korvane", true},
    {"the Windows folder", "C:\\Windows", true},
    {"the Program Files folder", "C:\\Program Files", true},
    {"the Program Files (x86) folder", "C:\\Program Files (x86)", true},
    {"the ProgramData folder", "C:\\ProgramData", true},
    {"the user's profile folder", "C:\\Users\\Ann", false},
};

} // namespace

TEST(SessionFolderRulesTest, EveryFolderASessionEndMustNotTouchIsRefused) {
    const struct {
        const char* path;
        FolderRule rule;
        const char* messagePart; // what the refusal message names
    } cases[] = {
        // Drive and share roots, however written.
        {"C:\\", FolderRule::DriveRoot, "root of a drive"},
        {"d:/", FolderRule::DriveRoot, "root of a drive"},
        {"C:\\.", FolderRule::DriveRoot, ""},
        {"C:\\Users\\..\\", FolderRule::DriveRoot, ""},
        {"C:\\Users\\..\\..\\..", FolderRule::DriveRoot, ""},
        {"\\\\?\\C:\\", FolderRule::DriveRoot, ""},
        {"\\\\srv\\share", FolderRule::ShareRoot, "root of a network share"},
        {"\\\\srv\\share\\", FolderRule::ShareRoot, ""},
        {"\\\\srv\\share\\x\\..", FolderRule::ShareRoot, ""},
        {"\\\\?\\UNC\\srv\\share", FolderRule::ShareRoot, ""},
        // Protected folders: letter case, trailing separators and dots, "..", long forms.
        {"C:\\Windows", FolderRule::IsProtected, "it is the Windows folder"},
        {"c:\\WINDOWS\\", FolderRule::IsProtected, ""},
        {"C:\\Windows.", FolderRule::IsProtected, ""},
        {"C:\\Windows . \\", FolderRule::IsProtected, ""},
        {"C:\\\\Windows", FolderRule::IsProtected, ""},
        {"C:/Temp/../Windows", FolderRule::IsProtected, ""},
        {"\\\\?\\C:\\Windows", FolderRule::IsProtected, ""},
        {"C:\\Users\\Ann\\Downloads\\..\\..\\..\\Windows", FolderRule::IsProtected, ""},
        {"C:\\Windows\\System32", FolderRule::InsideProtected, "inside the Windows folder"},
        {"C:\\Program Files", FolderRule::IsProtected, "Program Files folder"},
        {"C:\\Program Files (x86)\\", FolderRule::IsProtected, "(x86)"},
        {"C:\\Program Files\\Korvane", FolderRule::IsProtected, "the folder of korvane.exe"},
        {"C:\\ProgramData", FolderRule::IsProtected, "it is the ProgramData folder"},
        {"C:\\ProgramData\\Quillmoran", FolderRule::ContainsProtected, ""},
        {"C:\\ProgramData\\Quillmoran\\Shell\\Crashes", FolderRule::InsideProtected, ""},
        {"C:\\ProgramData\\Other", FolderRule::InsideProtected, "ProgramData"},
        {"C:\\Users", FolderRule::ContainsProtected, "profile"},
        {"C:\\Users\\ann", FolderRule::IsProtected, ""},
        // Not full paths.
        {"", FolderRule::NotFullPath, "not a full path"},
        {"Downloads", FolderRule::NotFullPath, ""},
        {".\\Downloads", FolderRule::NotFullPath, ""},
        {"\\Temp", FolderRule::NotFullPath, ""},
        {"C:", FolderRule::NotFullPath, ""},
        {"C:Temp", FolderRule::NotFullPath, ""},
        {"\\\\srv", FolderRule::NotFullPath, ""},
        {"\\\\.\\PhysicalDrive0", FolderRule::NotFullPath, ""},
        {"C:\\Users\\Ann\\Downloads:stream", FolderRule::NotFullPath, ""},
        {"C:\\Users\\Ann\\*", FolderRule::NotFullPath, ""},
        {"%TEMP%", FolderRule::NotFullPath, ""},
        // What a session end may empty: inside the profile, look-alike names, other drives.
        {"C:\\Users\\Ann\\Downloads", FolderRule::Accepted, ""},
        {"C:\\Users\\Ann\\AppData\\Local\\Temp\\", FolderRule::Accepted, ""},
        {"C:\\Windowsfoo", FolderRule::Accepted, ""},
        {"C:\\Program Files Extra", FolderRule::Accepted, ""},
        {"C:\\Users\\Annette", FolderRule::Accepted, ""},
        {"D:\\Cafe\\Scratch", FolderRule::Accepted, ""},
        {"\\\\srv\\share\\cafe", FolderRule::Accepted, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FolderVerdict verdict = CheckSessionFolder(c.path, kProtected);
        EXPECT_EQ(verdict.rule, c.rule);
        const std::string message = RefusalMessage(c.path, verdict);
        EXPECT_EQ(message.empty(), c.rule == FolderRule::Accepted);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << message;
    }
}

TEST(SessionFolderRulesTest, PathsAreComparedTheWayWindowsReadsThem) {
    EXPECT_EQ(NormalizeFolderPath("c:/users//ann/./Downloads/"), "C:\\users\\ann\\Downloads");
    EXPECT_EQ(NormalizeFolderPath("\\\\srv\\share\\a\\..\\b\\"), "\\\\srv\\share\\b");
    EXPECT_EQ(NormalizeFolderPath("C:\\a\\b\\..\\..\\..\\c"), "C:\\c");
    EXPECT_TRUE(IsInside("C:\\a\\b", "C:\\"));
    EXPECT_TRUE(IsInside("C:\\A\\b", "c:\\a"));
    EXPECT_FALSE(IsInside("C:\\ab", "C:\\a"));
    EXPECT_FALSE(IsInside("C:\\a", "C:\\a"));
}

TEST(SessionSettingsFormatTest, MultiStringsReadLenientlyAndWriteExactly) {
    using List = std::vector<std::string>;
    const struct {
        std::string data;
        List strings;
    } reads[] = {
        {std::string("a\0b\0\0", 5), {"a", "b"}},
        {std::string("a\0b", 3), {"a", "b"}}, // no final NULs
        {std::string("\0\0", 2), {}},
        {"", {}},
        {std::string("a\0\0b\0\0", 6), {"a"}}, // the list ends at its first empty string
    };
    for (const auto& r : reads)
        EXPECT_EQ(SplitMultiString(r.data), r.strings);
    EXPECT_EQ(JoinMultiString({"C:\\a", "", "%TEMP%"}), std::string("C:\\a\0%TEMP%\0\0", 13));
    EXPECT_EQ(JoinMultiString({}), std::string("\0\0", 2));
    EXPECT_EQ(SplitMultiString(JoinMultiString(DefaultSessionFolders())), DefaultSessionFolders());

    SessionRecord record;
    record.year = 2025;
    record.month = 3;
    record.day = 7;
    record.hour = 9;
    record.minute = 5;
    record.second = 1;
    record.reason = SessionEndReason::Idle;
    record.removed = 12;
    record.left = 1;
    record.refusedFolders = 2;
    EXPECT_EQ(FormatSessionRecord(record), "2025-03-07 09:05:01; ended after idle time; 12 files "
                                           "removed; 1 files left; 2 folders refused");
}

TEST(SessionDecisionsTest, ShutdownChoiceAndCommandsFollowSessionsAndRestrictions) {
    using namespace command;
    using Ids = std::vector<unsigned>;
    auto ids = [](const std::vector<MenuItem>& items) {
        Ids out;
        for (const MenuItem& item : items)
            out.push_back(item.id);
        return out;
    };
    const struct {
        bool admin;
        int isRestart;
        bool enabled;
        Ids items;
        bool button;
    } cases[] = {
        {false, 1, false, {400, 401}, true},     {false, 0, false, {}, false},
        {false, 1, true, {303, 400, 401}, true}, {false, 0, true, {303}, true},
        {true, 0, true, {400, 401}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.admin << c.isRestart << c.enabled);
        EXPECT_EQ(ids(ShutdownChoiceItems(c.admin, c.isRestart, c.enabled)), c.items);
        EXPECT_EQ(ShutdownButtonEnabled(c.isRestart, c.enabled) || c.admin, c.button);
    }
    EXPECT_EQ(ShutdownChoiceItems(false, 0, true)[0], (MenuItem{303, "End my session"}));
    for (unsigned id = 0; id < 1000; ++id) {
        EXPECT_FALSE(SessionCommandAllowed(id, false)) << id;
        const bool allowed = id == kEndMySession || id == kShutdownButton || id == kShutdownChoice;
        EXPECT_EQ(SessionCommandAllowed(id, true), allowed) << id;
    }
    EXPECT_TRUE(IsDesktopCommand(kEndMySession) && IsDesktopCommand(kEndCustomerSession) &&
                IsDesktopCommand(kCustomerSessions));
}

TEST(SessionDecisionsTest, IdleNoticeOnlyAfterTheCustomerWasThereAndWentAway) {
    const unsigned long minute = 60000;
    const struct {
        IdleState state;
        bool notice;
    } cases[] = {
        {{true, 1, false, false, true, minute}, true},
        {{true, 1, false, false, true, minute - 1}, false},
        {{true, 0, false, false, true, 100 * minute}, false},    // 0 = off
        {{false, 1, false, false, true, minute}, false},         // sessions disabled
        {{true, 1, true, false, true, minute}, false},           // the operator is at work
        {{true, 1, false, true, true, minute}, false},           // a session end under way
        {{true, 1, false, false, false, minute}, false},         // nobody since the last end
        {{true, 71582, false, false, true, 4294967295ul}, true}, // no overflow of the limit
        {{true, 71583, false, false, true, 4294967295ul}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShouldShowIdleNotice(c.state), c.notice) << c.state.idleMinutes;
    EXPECT_EQ(IdleNoticeText(60),
              "This session ends in 60 seconds. Move the mouse or press a key to continue.");
    EXPECT_EQ(IdleNoticeText(1).substr(0, 30), "This session ends in 1 second.");
}
