#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using Readings = std::vector<CommandLineSplit>;

// A quoted program gives one reading; blank text or empty quotes give none.
TEST(CommandLineCandidates, QuotedProgramGivesOneReadingBlankTextNone) {
    const struct {
        const wchar_t* line;
        Readings expected;
    } cases[] = {
        {LR"("C:\Program Files\App\app.exe" /start "x y")",
         {{LR"(C:\Program Files\App\app.exe)", LR"(/start "x y")"}}},
        {LR"(   "C:\a b\p.exe")", {{LR"(C:\a b\p.exe)", L""}}},
        // Arguments glued to the closing quote still belong to the arguments.
        {LR"("C:\a\p.exe"-x)", {{LR"(C:\a\p.exe)", L"-x"}}},
        {L"\"C:\\a\\p.exe\"\t\t-x\t", {{LR"(C:\a\p.exe)", L"-x"}}},
        // An unclosed quote takes the rest of the line as the program.
        {LR"("C:\a b\p.exe -x)", {{LR"(C:\a b\p.exe -x)", L""}}},
        {L"", {}},
        {L" \t ", {}},
        {L"\"\" -x", {}},
        {L"\"  \"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "line #" << (&c - cases));
        EXPECT_EQ(CommandLineCandidates(c.line), c.expected);
    }
}

TEST(CommandLineCandidates, UnquotedProgramMayEndAtAnyBlankShortestFirst) {
    EXPECT_EQ(CommandLineCandidates(LR"(C:\Program Files\App\app.exe  -x  y)"),
              (Readings{{LR"(C:\Program)", LR"(Files\App\app.exe  -x  y)"},
                        {LR"(C:\Program Files\App\app.exe)", L"-x  y"},
                        {LR"(C:\Program Files\App\app.exe  -x)", L"y"},
                        {LR"(C:\Program Files\App\app.exe  -x  y)", L""}}));
    EXPECT_EQ(CommandLineCandidates(L"  notepad.exe  "), (Readings{{L"notepad.exe", L""}}));
    EXPECT_EQ(CommandLineCandidates(L"rundll32.exe\tshell32.dll,Control_RunDLL"),
              (Readings{{L"rundll32.exe", L"shell32.dll,Control_RunDLL"},
                        {L"rundll32.exe\tshell32.dll,Control_RunDLL", L""}}));
}

TEST(JoinArguments, AddsOneBlankOnlyBetweenTwoNonEmptyParts) {
    EXPECT_EQ(JoinArguments(L"-a", L"-b"), L"-a -b");
    EXPECT_EQ(JoinArguments(L"", L"-b"), L"-b");
    EXPECT_EQ(JoinArguments(L"-a ", L""), L"-a");
    EXPECT_EQ(JoinArguments(L"", L""), L"");
}

} // namespace
