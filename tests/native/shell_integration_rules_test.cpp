#include "app/crash_recovery.h"
#include "app/integration_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(IntegrationRules, OnlyTheStandardDesktopInAnyCaseQuotedOrNotIsNotIntegrated) {
    for (const char* standard :
         {"explorer.exe", "Explorer.EXE", "EXPLORER.EXE", R"("explorer.exe")", R"("Explorer.EXE")"})
        EXPECT_FALSE(ShellValueMeansIntegrated(standard)) << standard;
    for (const char* other :
         {R"(C:\Korvane\korvane.exe)", R"(C:\Windows\explorer.exe)", "explorer.exe ", "explorer",
          "", R"(")", R"("")", R"("explorer.exe)", R"("explorer.exe" /x)"})
        EXPECT_TRUE(ShellValueMeansIntegrated(other)) << other;
}

// What integrating writes, every reader of the Shell value takes for this program.
TEST(IntegrationRules, TheWrittenShellValueIsQuotedAndReadsBackAsThisProgram) {
    const std::string us = R"(C:\Program Files\Korvane\korvane.exe)";
    const std::string value = ShellValueFor(us);
    EXPECT_EQ(value, "\"" + us + "\"");
    EXPECT_TRUE(ShellValueMeansIntegrated(value));
    EXPECT_TRUE(ShellValueNamesProgram(value, us));
    EXPECT_FALSE(ShellValueNamesProgram(value, R"(C:\Program Files\Korvane\other.exe)"));
}

TEST(IntegrationRules, WarningIsSevenCrLfLinesWithNoTrailingBreak) {
    const std::string text = IntegrationWarningText();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Warning!");
    EXPECT_EQ(lines[2], "It is done by changing registry key "
                        "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon");
    EXPECT_EQ(lines[3], "from 'explorer.exe' to 'installation_path\\korvane.exe'.");
    EXPECT_EQ(lines[6], "You have to reboot PC to make actions active.");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
}

} // namespace
