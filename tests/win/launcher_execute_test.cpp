// The launcher starting real programs: each start is proved by the marker file it leaves.
#include "shell/launcher.h"
#include "support/test_launch_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class LauncherTest : public testing::Test {
protected:
    LauncherTest()
        : m_base(Wide(m_folder.Path())), m_programFolder(m_base + L"\\with space"),
          m_program(CopyMarkerWriter(m_programFolder, L"marker writer.exe")) {}

    std::wstring Marker(const wchar_t* name) const { return m_base + L"\\" + name; }

    TempFolder m_folder;
    std::wstring m_base;
    std::wstring m_programFolder;
    std::wstring m_program;
};

TEST_F(LauncherTest, CommandLinesStartTheirProgramWithItsArguments) {
    ::SetEnvironmentVariableW(L"KORVANE_TEST_PROGRAMS", m_programFolder.c_str());
    const struct {
        const wchar_t* marker;
        std::wstring line;
        const wchar_t* extra;
        const char* arguments;
    } cases[] = {
        {L"quoted.txt",
         L"\"" + m_program + L"\" \"" + m_base + L"\\quoted.txt\" alpha \"beta gamma\"", L"",
         "alpha\nbeta gamma"},
        // Unquoted with blanks in the path: the reading whose program exists wins.
        {L"unquoted.txt", m_program + L" " + m_base + L"\\unquoted.txt one", nullptr, "one"},
        {L"expanded.txt",
         L"\"%KORVANE_TEST_PROGRAMS%\\marker writer.exe\" " + m_base + L"\\expanded.txt x", L"",
         "x"},
        {L"extra.txt", L"\"" + m_program + L"\" " + m_base + L"\\extra.txt first", L"second",
         "first\nsecond"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        EXPECT_TRUE(ELExecute(c.line.c_str(), c.extra, SW_SHOW, nullptr));
        EXPECT_EQ(WaitForMarker(Marker(c.marker)), c.arguments);
    }
    ::SetEnvironmentVariableW(L"KORVANE_TEST_PROGRAMS", nullptr);
}

TEST_F(LauncherTest, AnExistingShortcutIsOpenedThroughItsTarget) {
    const std::wstring link = m_base + L"\\start me.lnk";
    ASSERT_TRUE(CreateShortcut(link, m_program, L"\"" + Marker(L"link.txt") + L"\" via-link"));
    EXPECT_TRUE(ELExecute(link.c_str(), L"", SW_SHOW, nullptr));
    EXPECT_EQ(WaitForMarker(Marker(L"link.txt")), "via-link");
}

TEST_F(LauncherTest, WhatCannotBeStartedReportsFailure) {
    const std::wstring missing = m_base + L"\\nowhere\\missing.exe -x";
    const std::wstring quotedMissing = L"\"" + m_base + L"\\missing program.exe\" -x";
    EXPECT_FALSE(ELExecute(missing.c_str(), L"", SW_SHOW, nullptr));
    EXPECT_FALSE(ELExecute(quotedMissing.c_str(), L"", SW_SHOW, nullptr));
    EXPECT_FALSE(ELExecute(L"", L"", SW_SHOW, nullptr));
    EXPECT_FALSE(ELExecute(L"   ", L"", SW_SHOW, nullptr));
    EXPECT_FALSE(ELExecute(L"\"\" -x", L"", SW_SHOW, nullptr));
    EXPECT_FALSE(ELExecute(nullptr, L"", SW_SHOW, nullptr));
}

} // namespace
