#pragma once
// What happens after the desktop process ends: restart it, give up, or give up and hand the
// screen to the standard shell; which crash dumps to keep; how our processes tell each other
// what they are. No platform calls: the watcher and the crash reporter act on the answers.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Arguments between our own processes. The desktop the user or Winlogon starts makes its
// watcher with "/watch PROCESS EVENT" (handle values it inherits); the watcher starts the
// desktops after a crash with "/desktop /restarted".
inline constexpr const char* kDesktopArgument = "/desktop";
inline constexpr const char* kRestartedArgument = "/restarted";
inline constexpr const char* kWatchArgument = "/watch";

struct LaunchRole {
    bool first = true;      // no arguments of ours: a desktop that makes its own watcher
    bool restarted = false; // a desktop started again after a crash
    bool watcher = false;   // watches the desktop that started it, through these two handles
    std::uint64_t desktopProcess = 0;
    std::uint64_t crashEvent = 0;
};
LaunchRole ParseLaunchRole(std::string_view commandLine);
std::string WatchArguments(std::uint64_t desktopProcess, std::uint64_t crashEvent);

// The event a desktop's crash reporter sets, before it writes the dump, to tell its watcher that
// this process is as good as gone: the next desktop need not wait for the dump.
std::string CrashEventName(unsigned long processId);

// Exit codes with both error-severity bits set are exceptions (or our reporter's end after one);
// an operator's exit, a refused second instance or an outside kill end with small codes.
bool IsCrashExitCode(std::uint32_t exitCode);

// The code the crash reporter ends the process with when no exception code is at hand
// (std::terminate, abort): what Windows reports for a fast-failed process.
inline constexpr std::uint32_t kFatalExitCode = 0xC0000409;

enum class AfterExit {
    Finish,                 // not a crash: the watcher ends with the same code
    Restart,                // start a new desktop
    GiveUp,                 // too many crashes: stop restarting
    GiveUpAndStartExplorer, // too many crashes while we are the log-on shell
};

// The crash history of one watcher, in its memory: it outlives every desktop it watches.
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
