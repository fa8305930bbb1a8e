#include "dialogs/program_choice.h"

#include <climits>

namespace {

// A line is kept only this far: enough for any icon path and any number, while a file of one
// endless line costs no more memory than this.
constexpr std::size_t kLineKept = 64 * 1024;

constexpr std::string_view kIconFileKey = "IconFile";
constexpr std::string_view kIconIndexKey = "IconIndex";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void ApplyLine(std::string_view line, std::string& iconFile, int& iconIndex) {
    if (line.starts_with(kIconIndexKey)) {
        const std::size_t from = kIconIndexKey.size() + 1;
        iconIndex = AtoiClamped(line.size() > from ? line.substr(from) : std::string_view());
    } else if (line.starts_with(kIconFileKey)) {
        const std::size_t from = kIconFileKey.size() + 1;
        const std::string_view rest = line.size() > from ? line.substr(from) : std::string_view();
        iconFile.assign(rest.substr(0, kPathLimit));
    }
}

} // namespace

PathParts SplitPath(std::string_view path) {
    std::size_t start = path.find_last_of("\\/");
    if (start != std::string_view::npos)
        ++start;
    else if (path.size() >= 2 && path[1] == ':')
        start = 2;
    else
        start = 0;
    const std::string_view file = path.substr(start);
    const std::size_t dot = file.rfind('.');
    PathParts parts;
    const std::string_view name = dot == std::string_view::npos ? file : file.substr(0, dot);
    parts.name.assign(name.substr(0, kNamePartLimit));
    if (dot != std::string_view::npos)
        parts.extension.assign(file.substr(dot, kNamePartLimit));
    return parts;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

ProgramKind KindOfProgram(std::string_view path) {
    const std::string extension = LowerCase(SplitPath(path).extension);
    if (extension == ".exe" || extension == ".bat" || extension == ".cmd" || extension == ".cpl")
        return ProgramKind::Executable;
    if (extension == ".lnk")
        return ProgramKind::Shortcut;
    if (extension == ".url")
        return ProgramKind::InternetShortcut;
    return ProgramKind::Other;
}

ProgramChoice ExecutableChoice(std::string_view path) {
    ProgramChoice choice;
    choice.programPath.assign(path);
    choice.caption = UpperCase(SplitPath(path).name);
    choice.iconFile.assign(path);
    choice.iconIndex = 0;
    return choice;
}

void ReadInternetShortcutIcon(std::istream& in, std::string& iconFile, int& iconIndex) {
    std::string line;
    bool lineEnded = false; // a NUL ends the line's text; the rest up to LF is skipped
    char buffer[4096];
    auto finishLine = [&] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ApplyLine(line, iconFile, iconIndex);
        line.clear();
        lineEnded = false;
    };
    while (in.read(buffer, sizeof(buffer)), in.gcount() > 0) {
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\n')
                finishLine();
            else if (c == '\0')
                lineEnded = true;
            else if (!lineEnded && line.size() < kLineKept)
                line.push_back(c);
        }
    }
    if (!line.empty())
        finishLine();
}

int AtoiClamped(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}
