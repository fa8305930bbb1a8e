#pragma once
// Reading a stored command line (the data of a Run or RunOnce value) as a program and its
// arguments. Free of the platform so the rules can be checked anywhere.

#include <string>
#include <string_view>
#include <vector>

struct CommandLineSplit {
    std::wstring program;
    std::wstring arguments;

    bool operator==(const CommandLineSplit&) const = default;
};

// Every reading of `commandLine` as program + arguments, in the order they should be tried.
// A quoted program gives exactly one reading. An unquoted one may itself contain blanks
// ("C:\Program Files\App\app.exe -x"), so each blank is a possible end of the program, the
// shortest first, the whole text last. Empty or blank text gives no reading.
std::vector<CommandLineSplit> CommandLineCandidates(std::wstring_view commandLine);

// Joins the arguments of a command line with extra ones given by the caller.
std::wstring JoinArguments(std::wstring_view arguments, std::wstring_view extra);
