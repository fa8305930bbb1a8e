#pragma once
// Our crash reporter: an unhandled-exception filter (and terminate / abort handlers) that
// writes a minidump and a short description into the folder it is given (the application
// gives it the Crashes folder beside icons.bin). The failing thread writes the report, except
// after a stack overflow: then a thread made for it does, so that the overflow still gets one.

#include <string>

struct CrInstallInfo {
    unsigned cb = sizeof(CrInstallInfo); // must equal sizeof(CrInstallInfo)
    const char* appName = nullptr;
    const char* appVersion = nullptr;
    const char* emailTo = nullptr;
    const char* emailSubject = nullptr;
    const char* url = nullptr;
    unsigned flags = 0;                // kCrAllHandlers: every handler we offer
    const char* crashFolder = nullptr; // required: where dumps go (created when one is written)
};

inline constexpr unsigned kCrAllHandlers = 0x1FFF;
// No thread made for a stack overflow's report: the overflowing thread tries to write it itself
// and may end without one. For a process that must stay small (the watcher).
inline constexpr unsigned kCrNoReporterThread = 0x2000;

// 0 on success; otherwise crGetLastErrorMsg tells why.
int crInstall(const CrInstallInfo* info);
int crUninstall();
// Copies the last error text into buffer (always terminated); returns its length.
int crGetLastErrorMsg(char* buffer, unsigned size);
// A suspended watcher process: its main thread, and a job that ends it with this process (may be
// null). A crash releases it first thing; null for none. Kept across install and uninstall.
void crSetWatcher(void* thread, void* job);
// Lets the watcher run and outlive this process, and forgets it.
void crReleaseWatcher();
// Called at a crash when no watcher waits (a desktop makes its watcher once its first paint is
// on screen): makes one and hands it over with crSetWatcher and crSetCrashEvent. Null for none.
void crSetWatcherMaker(void (*maker)());
// The event to set at a crash, before the dump, to tell the watcher (not owned; null for none).
// Kept across install and uninstall.
void crSetCrashEvent(void* event);
// Writes a dump and note of another process (one that stopped answering) where ours go, named
// after that process; true when the dump was written. Only while installed.
bool crWriteReportOf(void* process, const char* reason);
// Loads what writes the dumps now rather than at the first crash, when loading a library may no
// longer work. The desktop calls it once its first paint is on screen, the watcher at its start.
void crLoadDumpWriter();
// Where dumps go while installed (empty when not installed).
std::string crCrashFolder();
