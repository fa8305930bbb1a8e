#pragma once
// Shell services: the log-on duties of the standard shell (Startup folders, Run and RunOnce
// keys), used when this program runs as the log-on shell. Works in UTF-16 throughout.

#include <windows.h>

#include <array>
#include <string>

class Shell {
public:
    // One key of the Run / RunOnce walk.
    struct RunKey {
        HKEY root;
        const wchar_t* subkey;
        REGSAM access;
        bool deleteStarted;
    };
    // The keys in the order they are walked: the Run keys, then the RunOnce keys.
    static const std::array<RunKey, 6>& RunKeys();

    Shell() = default;
    virtual ~Shell() = default;

    // Starts the items of the all-users and then the user's Startup folder.
    virtual void RunStartupFolders();
    // Starts the command lines of the Run and RunOnce keys, in the order of RunKeys().
    virtual void RunRegistryKeys();

    // Starts every visible item of one folder.
    void StartFolderItems(const std::wstring& folder);
    // Starts the string values of `key`, deleting each one after its start when asked.
    // Takes `key` over and closes it when the walk is over.
    void RunKeyValues(HKEY key, bool deleteStarted);

protected:
    // Every start goes through here.
    virtual bool Start(const std::wstring& target);
};
