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

// The optional third handle after "/watch" or "/restarted": how many tokens it took.
std::size_t TakeAliveEvent(const std::vector<std::string_view>& tokens, std::size_t at,
                           LaunchRole& role) {
    const auto alive = at < tokens.size() ? HandleValue(tokens[at]) : std::nullopt;
    if (!alive)
        return 0;
    role.aliveEvent = *alive;
    return 1;
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
            const auto watcher = i + 2 < tokens.size() ? HandleValue(tokens[i + 1]) : std::nullopt;
            const auto event = watcher ? HandleValue(tokens[i + 2]) : std::nullopt;
            if (watcher && event) {
                role.watcherProcess = *watcher, role.crashEvent = *event;
                i += 2 + TakeAliveEvent(tokens, i + 3, role);
            }
        } else if (SameText(tokens[i], kWatchArgument) && i + 2 < tokens.size()) {
            const auto process = HandleValue(tokens[i + 1]), event = HandleValue(tokens[i + 2]);
            if (process && event) {
                role.watcher = true, role.desktopProcess = *process, role.crashEvent = *event;
                i += 2 + TakeAliveEvent(tokens, i + 3, role);
            }
        }
    }
    // A watcher is nothing else, whatever else its command line holds.
    if (role.watcher)
        role.first = role.restarted = false, role.watcherProcess = 0;
    return role;
}

std::string WatchArguments(std::uint64_t desktopProcess, std::uint64_t crashEvent,
                           std::uint64_t aliveEvent) {
    return std::string(kWatchArgument) + " " + std::to_string(desktopProcess) + " " +
           std::to_string(crashEvent) + " " + std::to_string(aliveEvent);
}

std::string RestartArguments(std::uint64_t watcherProcess, std::uint64_t crashEvent,
                             std::uint64_t aliveEvent) {
    return std::string(kDesktopArgument) + " " + kRestartedArgument + " " +
           std::to_string(watcherProcess) + " " + std::to_string(crashEvent) + " " +
           std::to_string(aliveEvent);
}

bool IsCrashExitCode(std::uint32_t exitCode) {
    return (exitCode & 0xC0000000u) == 0xC0000000u;
}

std::int64_t MsBetween(const CrashMoment& earlier, const CrashMoment& later) {
    // The boot moment is worked out from the wall clock and the time since boot, so it wobbles by
    // a few milliseconds; a clock set later moves it further, and the wall clock then decides.
    constexpr std::int64_t kSameBootMs = 2000;
    const std::int64_t bootShift = later.bootMs - earlier.bootMs;
    if (bootShift > -kSameBootMs && bootShift < kSameBootMs)
        return (later.wallMs - later.bootMs) - (earlier.wallMs - earlier.bootMs);
    return later.wallMs - earlier.wallMs;
}

namespace {

std::optional<std::int64_t> Number(std::string_view token) {
    if (token.empty() || token.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<CrashRecord> ParseRecord(std::string_view text) {
    std::vector<std::string_view> words;
    while (!(text = Trim(text)).empty()) {
        const std::size_t end = std::min(text.size(), text.find(' '));
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    if (words.size() != 4 && !(words.size() == 5 && words[4] == "told"))
        return std::nullopt;
    const auto wall = Number(words[0]), boot = Number(words[1]), pid = Number(words[2]);
    if (!wall || !boot || !pid || *pid > 0xFFFFFFFF || words[3].size() != 1 ||
        (words[3][0] != 'c' && words[3][0] != 'h'))
        return std::nullopt;
    return CrashRecord{{*wall, *boot},
                       static_cast<std::uint32_t>(*pid),
                       static_cast<CrashKind>(words[3][0]),
                       words.size() == 5};
}

} // namespace

CrashHistory CrashHistory::Parse(std::string_view text) {
    CrashHistory history;
    while (!text.empty()) {
        const std::size_t end = std::min(text.size(), text.find(';'));
        if (auto record = ParseRecord(text.substr(0, end)))
            history.m_records.push_back(*record);
        text.remove_prefix(std::min(text.size(), end + 1));
    }
    if (history.m_records.size() > kMaxCrashes)
        history.m_records.erase(history.m_records.begin(), history.m_records.end() - kMaxCrashes);
    return history;
}

std::string CrashHistory::Format() const {
    std::string text;
    for (const CrashRecord& r : m_records) {
        if (!text.empty())
            text += ';';
        text += std::to_string(r.at.wallMs) + ' ' + std::to_string(r.at.bootMs) + ' ' +
                std::to_string(r.processId) + ' ' + static_cast<char>(r.kind);
        if (r.told)
            text += " told";
    }
    return text;
}

AfterExit CrashHistory::OnDesktopEnded(std::uint32_t exitCode, const CrashMoment& now,
                                       bool logonShell, std::uint32_t processId, CrashKind kind) {
    if (!IsCrashExitCode(exitCode))
        return AfterExit::Finish;
    m_records.push_back({now, processId, kind, false});
    if (m_records.size() > kMaxCrashes)
        m_records.erase(m_records.begin());
    // Crashes older than the window no longer count; the one that just happened does. One that
    // seems to come later than now (the clock was set back) does not count either.
    std::size_t recent = 0;
    for (const CrashRecord& r : m_records) {
        const std::int64_t ago = MsBetween(r.at, now);
        recent += ago >= 0 && ago <= kWindowMs;
    }
    if (recent < kMaxCrashes)
        return AfterExit::Restart;
    return logonShell ? AfterExit::GiveUpAndStartExplorer : AfterExit::GiveUp;
}

std::optional<CrashRecord> CrashHistory::TakeUntold() {
    if (m_records.empty() || m_records.back().told)
        return std::nullopt;
    m_records.back().told = true;
    return m_records.back();
}

void HangWatch::Answered(std::uint64_t nowMs) {
    m_lastAnswerMs = m_answered ? std::max(m_lastAnswerMs, nowMs) : nowMs;
    m_answered = true;
}

std::uint64_t HangWatch::MsUntilDue(std::uint64_t nowMs) const {
    if (!m_answered)
        return kNever;
    const std::uint64_t hungAt = m_lastAnswerMs + kSilenceMs;
    return hungAt > nowMs ? hungAt - nowMs : 0;
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
