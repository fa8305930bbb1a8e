#pragma once
// What happens after the desktop process ends: restart it, give up, or give up and hand the
// screen to the standard shell; which crash dumps to keep; how our processes tell each other
// what they are. No platform calls: the watcher and the crash reporter act on the answers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Arguments between our own processes, the numbers being handle values the new process inherits.
// A desktop makes its watcher with "/watch PROCESS EVENT ALIVE" (that desktop, its crash event
// and the event it sets while it answers); the watcher starts the desktops after a crash with
// "/desktop /restarted WATCHER EVENT ALIVE" (the watcher, which the desktop replaces when it is
// gone, and the new desktop's two events). ALIVE may be missing (a process of an older version):
// that desktop is then not watched for hangs.
inline constexpr const char* kDesktopArgument = "/desktop";
inline constexpr const char* kRestartedArgument = "/restarted";
inline constexpr const char* kWatchArgument = "/watch";

struct LaunchRole {
    bool first = true;      // no arguments of ours: a desktop that makes its own watcher
    bool restarted = false; // a desktop started again after a crash
    bool watcher = false;   // watches the desktop that started it, through these two handles
    std::uint64_t desktopProcess = 0;
    std::uint64_t watcherProcess = 0; // a restarted desktop's watcher (0: not given)
    // Set by the desktop's crash reporter, before it writes the dump, to tell the watcher that the
    // desktop is as good as gone. Never named: no other program can fake a crash.
    std::uint64_t crashEvent = 0;
    // Set by the desktop's window thread every 2 s while it reads its messages (0: not given).
    std::uint64_t aliveEvent = 0;
};
LaunchRole ParseLaunchRole(std::string_view commandLine);
std::string WatchArguments(std::uint64_t desktopProcess, std::uint64_t crashEvent,
                           std::uint64_t aliveEvent);
std::string RestartArguments(std::uint64_t watcherProcess, std::uint64_t crashEvent,
                             std::uint64_t aliveEvent);

// Exit codes with both error-severity bits set are exceptions (or our reporter's end after one);
// an operator's exit, a refused second instance or an outside kill end with small codes.
bool IsCrashExitCode(std::uint32_t exitCode);

// The code the crash reporter ends the process with when no exception code is at hand
// (std::terminate, abort): what Windows reports for a fast-failed process.
inline constexpr std::uint32_t kFatalExitCode = 0xC0000409;
// The code the watcher ends a desktop with that stopped answering (the system's "possible
// deadlock").
inline constexpr std::uint32_t kHungExitCode = 0xC0000194;

enum class AfterExit {
    Finish,                 // not a crash: the watcher ends with the same code
    Restart,                // start a new desktop
    GiveUp,                 // too many crashes: stop restarting
    GiveUpAndStartExplorer, // too many crashes while we are the log-on shell
};

// When a crash happened: the wall clock and the moment the system started, both in ms since
// 1970 (UTC). Two moments of the same boot are compared by their time since the boot, which a
// clock set meanwhile does not change; moments of different boots by the wall clock.
struct CrashMoment {
    std::int64_t wallMs = 0;
    std::int64_t bootMs = 0;
};
// How long after `earlier` `later` came (negative when it came before).
std::int64_t MsBetween(const CrashMoment& earlier, const CrashMoment& later);

enum class CrashKind : char { Crash = 'c', Hang = 'h' };

struct CrashRecord {
    CrashMoment at;
    std::uint32_t processId = 0; // the desktop that crashed (its dump carries this number)
    CrashKind kind = CrashKind::Crash;
    bool told = false; // the operator has seen the message about it
};

// The recent crashes of the desktop, kept in the settings so that every watcher, in this log-on
// or the next, knows them. Stored as text: one record per crash, oldest first, separated by ";",
// each "WALLMS BOOTMS PID KIND" with KIND "c" or "h", and " told" once the operator was told.
// Records that do not read are dropped.
class CrashHistory {
public:
    static constexpr std::size_t kMaxCrashes = 3;
    static constexpr std::int64_t kWindowMs = 60000;

    static CrashHistory Parse(std::string_view text);
    std::string Format() const;

    // Records a crash (an exit code of a crash) and tells what comes next: the third crash within
    // 60 s gives up. logonShell matters only when giving up. Keeps the newest kMaxCrashes records.
    AfterExit OnDesktopEnded(std::uint32_t exitCode, const CrashMoment& now, bool logonShell,
                             std::uint32_t processId, CrashKind kind);

    // The newest crash when the operator has not been told of it yet; marks it told.
    std::optional<CrashRecord> TakeUntold();
    const std::vector<CrashRecord>& Records() const { return m_records; }

private:
    std::vector<CrashRecord> m_records;
};

// Whether the desktop stopped answering: its window thread signs of life every 2 s from the
// timer its message loop dispatches, and a desktop silent for 15 s is hung. A desktop that never
// signed (still starting) is not judged. Any monotonic clock in milliseconds.
class HangWatch {
public:
    static constexpr std::uint64_t kSilenceMs = 15000;

    void Answered(std::uint64_t nowMs);
    bool IsHung(std::uint64_t nowMs) const {
        return m_answered && nowMs - m_lastAnswerMs >= kSilenceMs;
    }
    // How long the watcher may wait before a hang is due; kNever before the first sign.
    std::uint64_t MsUntilDue(std::uint64_t nowMs) const;
    static constexpr std::uint64_t kNever = UINT64_MAX;

private:
    bool m_answered = false;
    std::uint64_t m_lastAnswerMs = 0;
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
