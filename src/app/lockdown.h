#pragma once
// Writing the lockdown's policy values and accessibility flags, and putting them back from the
// journal of their original state. The journal is a file beside icons.bin, replaced in one
// step, so that any process (a restarted desktop, the watcher, "korvane.exe /unlock" from the
// uninstaller, maybe under another account) can put everything back after a crash or a kill.

#include "app/lockdown_profile.h"

#include <cstdint>
#include <optional>
#include <string>

// The accessibility flags, behind a seam: Wine does not implement setting them.
class AccessibilityFlags {
public:
    virtual ~AccessibilityFlags() = default;
    virtual bool Read(AccessibilityFeature feature, std::uint32_t& flags);
    virtual bool Write(AccessibilityFeature feature, std::uint32_t flags);
};
AccessibilityFlags& CurrentAccessibilityFlags();
// Replaces the flags for tests; returns the previous one. Null puts the system's back.
AccessibilityFlags* SetAccessibilityFlags(AccessibilityFlags* flags);

enum class RestoreResult {
    NoJournal,  // nothing was changed
    Restored,   // every original is back and the journal is gone
    Refused,    // a damaged or foreign journal: nothing written, kept as "<journal>.damaged"
    Incomplete, // something could not be put back: the journal stays for the next attempt
};

class PolicyLockdown {
public:
    explicit PolicyLockdown(std::string journalPath);

    // Records the originals (unless a journal exists already), then writes what restricted
    // mode needs. Keys that cannot be written are skipped. False when the journal cannot be
    // written: then nothing at all is changed.
    bool Apply(int isRestart);
    RestoreResult Restore();
    bool JournalExists() const;
    const std::string& JournalPath() const { return m_path; }

private:
    std::optional<LockdownJournal> ReadJournal();
    bool RecordOriginals();

    std::string m_path;
    std::optional<LockdownJournal> m_journal;
};

// The journal beside the catalogue in the common application data folder.
std::string LockdownJournalPath();
// The string SID of the account this process runs as; empty when unknown.
std::string CurrentUserSid();
// "korvane.exe /unlock" and the watcher's hand-over to explorer.exe: puts the journal back.
RestoreResult RestoreLockdownJournal();
