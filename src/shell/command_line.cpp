#include "shell/command_line.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view TrimLeft(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::wstring_view TrimRight(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::wstring_view Trim(std::wstring_view text) {
    return TrimRight(TrimLeft(text));
}

} // namespace

std::vector<CommandLineSplit> CommandLineCandidates(std::wstring_view commandLine) {
    std::vector<CommandLineSplit> result;
    const std::wstring_view text = Trim(commandLine);
    if (text.empty())
        return result;

    if (text.front() == L'"') {
        const std::wstring_view rest = text.substr(1);
        const std::size_t close = rest.find(L'"');
        // An unclosed quote takes the rest of the line as the program, as the system does.
        const std::wstring_view program =
            close == std::wstring_view::npos ? rest : rest.substr(0, close);
        const std::wstring_view arguments =
            close == std::wstring_view::npos ? std::wstring_view{} : Trim(rest.substr(close + 1));
        if (!Trim(program).empty())
            result.push_back({std::wstring(program), std::wstring(arguments)});
        return result;
    }

    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsBlank(text[i]) || IsBlank(text[i - 1]))
            continue; // only the first blank of a run ends a possible program
        result.push_back({std::wstring(text.substr(0, i)), std::wstring(TrimLeft(text.substr(i)))});
    }
    result.push_back({std::wstring(text), std::wstring()});
    return result;
}

std::wstring JoinArguments(std::wstring_view arguments, std::wstring_view extra) {
    const std::wstring_view first = Trim(arguments);
    const std::wstring_view second = Trim(extra);
    std::wstring joined(first);
    if (!first.empty() && !second.empty())
        joined += L' ';
    joined += second;
    return joined;
}
