#pragma once
// What happens after the desktop process ends: restart it, give up, or give up and hand the
// screen to the standard shell; which crash dumps to keep; how the guardian tells a desktop
// process what it is. No platform calls: the guardian and the crash reporter act on the answers.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Arguments the guardian gives the desktop processes it starts.
inline constexpr const char* kDesktopArgument = "/desktop";
inline constexpr const char* kRestartedArgument = "/restarted";

struct LaunchRole {
    bool guardian = true;   // no arguments of ours: watch over a desktop process
    bool restarted = false; // a desktop started again after a crash
};
LaunchRole ParseLaunchRole(std::string_view commandLine);

// The event a desktop's crash reporter sets, before it writes the dump, to tell its guardian that
// this process is as good as gone: the next desktop need not wait for the dump.
std::string CrashEventName(unsigned long processId);

// Exit codes with both error-severity bits set are exceptions (or our reporter's end after one);
// an operator's exit, a refused second instance or an outside kill end with small codes.
bool IsCrashExitCode(std::uint32_t exitCode);

// The code the crash reporter ends the process with when no exception code is at hand
// (std::terminate, abort): what Windows reports for a fast-failed process.
inline constexpr std::uint32_t kFatalExitCode = 0xC0000409;

enum class AfterExit {
    Finish,                 // not a crash: the guardian ends with the same code
    Restart,                // start a new desktop
    GiveUp,                 // too many crashes: stop restarting
    GiveUpAndStartExplorer, // too many crashes while we are the log-on shell
};

// The crash history of one guardian, in its memory: it outlives every desktop it starts.
class CrashRecovery {
public:
    static constexpr std::size_t kMaxCrashes = 3;
    static constexpr std::uint64_t kWindowMs = 60000;

    // nowMs: any monotonic clock in milliseconds. logonShell matters only when giving up.
    AfterExit OnDesktopEnded(std::uint32_t exitCode, std::uint64_t nowMs, bool logonShell);

private:
    std::deque<std::uint64_t> m_crashTimes;
};

// Whether the Winlogon Shell value starts this program: the full path, letter case aside, quoted
// or not and maybe followed by arguments; a value without a folder names it by its file name.
bool ShellValueNamesProgram(std::string_view shellValue, std::string_view modulePath);

struct DumpFile {
    std::string name;        // file name of the .dmp, no folder
    std::uint64_t writeTime; // any clock that orders files by age
};
inline constexpr std::size_t kDumpsKept = 20;
// The dumps beyond the `keep` newest (by write time, then name), oldest first.
std::vector<std::string> DumpsToDelete(std::vector<DumpFile> dumps, std::size_t keep = kDumpsKept);
