#pragma once
// Which folders of the list a session end may empty on this machine: environment references
// expanded, short (8.3) names made long, links looked through, and every folder checked
// against the folders a session end never touches.

#include "session/session_rules.h"

#include <string>
#include <vector>

// The Windows folder, both Program Files, ProgramData, the user's profile, and the two
// folders given: the data folder (icons.bin) and the executable's folder.
std::vector<ProtectedFolder> ProtectedFoldersOfSystem(const std::string& dataFolder,
                                                      const std::string& moduleFolder);

struct ResolvedFolder {
    std::string configured; // as the list holds it
    std::string path;       // expanded and normalized; empty when it is no full path
    FolderVerdict verdict;
    bool exists = false;
};

// One entry of the list as it stands on this machine now. A folder that exists is also
// opened and its real path checked: a folder reached through a junction or symbolic link is
// refused, whatever the link points at.
ResolvedFolder ResolveSessionFolder(const std::string& configured,
                                    const std::vector<ProtectedFolder>& protectedFolders);
