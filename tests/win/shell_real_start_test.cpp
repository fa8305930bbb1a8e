// The startup runner starting real programs from a Startup folder and a RunOnce key.
#include "shell/shell.h"
#include "support/test_launch_support.h"
#include "support/test_saved_registry.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(RunnerRealStart, AShortcutInAStartupFolderRuns) {
    TempFolder work;
    const std::wstring base = Wide(work.Path());
    const std::wstring program = CopyMarkerWriter(base + L"\\bin", L"marker writer.exe");
    const std::wstring startup = base + L"\\Startup";
    ASSERT_TRUE(::CreateDirectoryW(startup.c_str(), nullptr));
    ASSERT_TRUE(CreateShortcut(startup + L"\\a.lnk", program, L"\"" + base + L"\\a.txt\" a"));

    Shell shell;
    shell.StartFolderItems(startup);

    EXPECT_EQ(WaitForMarker(base + L"\\a.txt"), "a");
}

TEST(RunnerRealStart, RunOnceCommandLineWithAQuotedPathRunsAndIsDeleted) {
    const std::wstring key = L"Software\\KorvaneTests\\RunOnceRealStart";
    SavedRegistryKey saved(HKEY_CURRENT_USER, L"Software\\KorvaneTests");
    TempFolder work;
    const std::wstring base = Wide(work.Path());
    const std::wstring program = CopyMarkerWriter(base + L"\\my programs", L"marker writer.exe");
    WriteString(HKEY_CURRENT_USER, key, L"marker",
                L"\"" + program + L"\" \"" + base + L"\\once.txt\" --first \"two words\"");
    WriteString(HKEY_CURRENT_USER, key, L"missing", L"\"" + base + L"\\no such program.exe\"");

    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &opened),
              ERROR_SUCCESS);
    Shell shell;
    shell.RunKeyValues(opened, true);

    EXPECT_EQ(WaitForMarker(base + L"\\once.txt"), "--first\ntwo words");
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, key).empty())
        << "RunOnce values go whether or not their start succeeded";
}

} // namespace
