#include "app/crash_recovery.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A handle value as we write it: decimal digits only, not zero, within 64 bits.
std::optional<std::uint64_t> HandleValue(std::string_view token) {
    if (token.empty() || token.size() > 20)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value ? std::optional<std::uint64_t>(value) : std::nullopt;
}

} // namespace

LaunchRole ParseLaunchRole(std::string_view commandLine) {
    std::vector<std::string_view> tokens;
    while (!(commandLine = Trim(commandLine)).empty()) {
        std::size_t end = 0;
        while (end < commandLine.size() && !IsBlank(commandLine[end]))
            ++end;
        tokens.push_back(commandLine.substr(0, end));
        commandLine.remove_prefix(end);
    }
    LaunchRole role;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (SameText(tokens[i], kDesktopArgument)) {
            role.first = false;
        } else if (SameText(tokens[i], kRestartedArgument)) {
            role.first = false, role.restarted = true;
        } else if (SameText(tokens[i], kWatchArgument) && i + 2 < tokens.size()) {
            const auto process = HandleValue(tokens[i + 1]), event = HandleValue(tokens[i + 2]);
            if (process && event) {
                role.watcher = true, role.desktopProcess = *process, role.crashEvent = *event;
                i += 2;
            }
        }
    }
    // A watcher is nothing else, whatever else its command line holds.
    if (role.watcher)
        role.first = role.restarted = false;
    return role;
}

std::string WatchArguments(std::uint64_t desktopProcess, std::uint64_t crashEvent) {
    return std::string(kWatchArgument) + " " + std::to_string(desktopProcess) + " " +
           std::to_string(crashEvent);
}

std::string CrashEventName(unsigned long processId) {
    return "KorvaneDesktopCrashed-" + std::to_string(processId);
}

bool IsCrashExitCode(std::uint32_t exitCode) {
    return (exitCode & 0xC0000000u) == 0xC0000000u;
}

AfterExit CrashRecovery::OnDesktopEnded(std::uint32_t exitCode, std::uint64_t nowMs,
                                        bool logonShell) {
    if (!IsCrashExitCode(exitCode))
        return AfterExit::Finish;
    // Crashes older than the window no longer count; the one that just happened does.
    while (!m_crashTimes.empty() && nowMs - m_crashTimes.front() > kWindowMs)
        m_crashTimes.pop_front();
    m_crashTimes.push_back(nowMs);
    if (m_crashTimes.size() < kMaxCrashes)
        return AfterExit::Restart;
    return logonShell ? AfterExit::GiveUpAndStartExplorer : AfterExit::GiveUp;
}

bool ShellValueNamesProgram(std::string_view shellValue, std::string_view modulePath) {
    std::string_view value = Trim(shellValue);
    if (value.empty() || modulePath.empty())
        return false;
    std::string_view program;
    if (value.front() == '"') {
        value.remove_prefix(1);
        program = value.substr(0, value.find('"'));
    } else if (value.size() >= modulePath.size() &&
               SameText(value.substr(0, modulePath.size()), modulePath) &&
               (value.size() == modulePath.size() || IsBlank(value[modulePath.size()]))) {
        return true; // an unquoted path may hold spaces: compare the whole of ours first
    } else {
        program = value.substr(0, std::min(value.size(), value.find_first_of(" \t")));
    }
    if (program.find_first_of("\\/") != std::string_view::npos)
        return SameText(program, modulePath);
    const std::string_view ours = FileNameOf(modulePath);
    return SameText(program, ours) || SameText(std::string(program) + ".exe", ours);
}

std::vector<std::string> DumpsToDelete(std::vector<DumpFile> dumps, std::size_t keep) {
    if (dumps.size() <= keep)
        return {};
    std::sort(dumps.begin(), dumps.end(), [](const DumpFile& a, const DumpFile& b) {
        return a.writeTime != b.writeTime ? a.writeTime < b.writeTime : a.name < b.name;
    });
    std::vector<std::string> names;
    for (std::size_t i = 0; i + keep < dumps.size(); ++i)
        names.push_back(dumps[i].name);
    return names;
}
