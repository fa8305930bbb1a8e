#pragma once
// Shell services: the log-on duties of the standard shell (Startup folders, Run and RunOnce
// keys), used when this program runs as the log-on shell.

class Shell {
public:
    Shell() = default;
    virtual ~Shell() = default;

    // Starts the items of the all-users and the user's Startup folders.
    virtual void RunStartupFolders();
    // Starts the command lines of the Run and RunOnce keys.
    virtual void RunRegistryKeys();
};
