#pragma once
// What a customer session end may touch and when it happens, independent of the window
// system: which folders may be emptied (and why others never are), the default folder list,
// the stored record of the last session, the shutdown choice's items and the idle watch.

#include "desktop/desktop_commands.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A folder a session end must never empty, nor any folder that contains it.
struct ProtectedFolder {
    std::string name;         // for messages: "the Windows folder"
    std::string path;         // a full path
    bool refuseInside = true; // folders inside it are refused too
};

enum class FolderRule {
    Accepted,
    NotFullPath,       // relative, a drive without a backslash, a device or stream name
    DriveRoot,         // C:\ .
    ShareRoot,         // \\server\share
    IsProtected,       // the folder itself is protected
    ContainsProtected, // a protected folder lies inside it
    InsideProtected,   // it lies inside a protected folder
    IsLink,            // the folder (or a folder on its path) is a junction or symbolic link
};

struct FolderVerdict {
    FolderRule rule = FolderRule::NotFullPath;
    std::string normalized;    // the folder as compared, when it is a full path
    std::string protectedName; // the protected folder concerned
    bool Accepted() const { return rule == FolderRule::Accepted; }
};

// A full path the way Windows reads it: '/' as '\', repeated separators, "." and ".." resolved
// (never above the root), trailing dots and spaces of each name dropped, no trailing
// backslash except on a drive root, the drive letter in capitals. Nothing when the path is
// not a full one ("Temp", "C:Temp", "\Temp", "\\server" alone, "\\.\device", a ':' stream).
std::optional<std::string> NormalizeFolderPath(std::string_view path);
// Whether two normalized paths name the same folder (letter case aside), and whether `inner`
// lies below `outer`.
bool SamePath(std::string_view a, std::string_view b);
bool IsInside(std::string_view inner, std::string_view outer);

FolderVerdict CheckSessionFolder(std::string_view path,
                                 const std::vector<ProtectedFolder>& protectedFolders);
// The message that names the rule a refused folder breaks.
std::string RefusalMessage(std::string_view shownPath, const FolderVerdict& verdict);

// The folders emptied when the operator has chosen none; environment references are expanded
// when a session ends.
std::vector<std::string> DefaultSessionFolders();

// REG_MULTI_SZ data: strings each ending in a NUL, the list ending in one more. Reading is
// lenient (a missing final NUL, empty strings); writing drops empty strings.
std::vector<std::string> SplitMultiString(std::string_view data);
std::string JoinMultiString(const std::vector<std::string>& strings);

// How a session ended, and the record kept of it in the setting "lastsession".
enum class SessionEndReason { Customer, Operator, Idle, LogOn };
struct SessionRecord {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    SessionEndReason reason = SessionEndReason::Customer;
    long long removed = 0;      // files and links deleted
    long long left = 0;         // files that could not be deleted (in use, no rights)
    int refusedFolders = 0;     // folders of the list that were refused
    int programsTerminated = 0; // processes still running after the grace period
};
std::string FormatSessionRecord(const SessionRecord& record);

// The customer's shutdown choice: "End my session" while sessions are enabled, shut down
// and restart only for the operator or while the restrictions allow them.
std::vector<MenuItem> ShutdownChoiceItems(bool adminMode, int isRestart, bool sessionsEnabled);
// Whether the shutdown button works in restricted user mode.
bool ShutdownButtonEnabled(int isRestart, bool sessionsEnabled);
// The session's commands that restricted user mode may run besides the desktop's own.
bool SessionCommandAllowed(unsigned id, bool sessionsEnabled);

// The idle watch, asked at every tick of the desktop's timer.
struct IdleState {
    bool enabled = false;
    int idleMinutes = 0;
    bool adminMode = false;
    bool busy = false;              // a session is ending or its notice shows
    bool inputSinceLastEnd = false; // nothing to end on an untouched desktop
    unsigned long idleMilliseconds = 0;
};
bool ShouldShowIdleNotice(const IdleState& state);

inline constexpr int kIdleNoticeSeconds = 60;
inline constexpr int kCloseGraceMilliseconds = 5000;
std::string IdleNoticeText(int secondsLeft);
