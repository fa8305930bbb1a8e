#include "session/session_folders.h"

#include "framework/unique_handle.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::string Expand(const std::string& text) {
    const DWORD size = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0)
        return text;
    std::string expanded(size, '\0');
    const DWORD got = ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
    expanded.resize(got > 0 && got <= size ? got - 1 : 0);
    return expanded;
}

// The long form of `path` as far as it exists: "C:\PROGRA~1\New" becomes
// "C:\Program Files\New" even while "New" does not exist yet.
std::string LongPath(const std::string& path) {
    std::string head = path;
    std::string tail;
    while (!head.empty()) {
        char buffer[32768];
        const DWORD n = ::GetLongPathNameA(head.c_str(), buffer, sizeof(buffer));
        if (n > 0 && n < sizeof(buffer))
            return std::string(buffer, n) + tail;
        const std::size_t slash = head.find_last_of('\\');
        if (slash == std::string::npos || slash < 3)
            break;
        tail = head.substr(slash) + tail;
        head.resize(slash);
    }
    return path;
}

std::string FullPath(const std::string& path) {
    char buffer[32768];
    const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof(buffer), buffer, nullptr);
    return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : path;
}

// The path the system reaches when it opens `folder`, links followed; empty when it cannot
// be opened.
std::string RealPath(const std::string& folder) {
    UniqueFile handle(::CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return {};
    char buffer[32768];
    const DWORD n = ::GetFinalPathNameByHandleA(handle.Get(), buffer, sizeof(buffer),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return path;
}

std::string Resolved(const std::string& path) {
    const std::optional<std::string> normalized = NormalizeFolderPath(LongPath(path));
    return normalized ? *normalized : path;
}

} // namespace

std::vector<ProtectedFolder> ProtectedFoldersOfSystem(const std::string& dataFolder,
                                                      const std::string& moduleFolder) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    std::vector<ProtectedFolder> folders = {
        {"the Windows folder", windows, true},
        {"the Program Files folder", SpecialFolder(CSIDL_PROGRAM_FILES), true},
        {"the Program Files (x86) folder", SpecialFolder(CSIDL_PROGRAM_FILESX86), true},
        {"the Program Files folder", Expand("%ProgramW6432%"), true},
        {"the ProgramData folder", SpecialFolder(CSIDL_COMMON_APPDATA), true},
        {"the desktop's data folder", dataFolder, true},
        {"the folder of korvane.exe", moduleFolder, true},
        // Its subfolders are what a session end empties; the profile itself holds the user's
        // registry and settings.
        {"the user's profile folder", SpecialFolder(CSIDL_PROFILE), false},
    };
    std::vector<ProtectedFolder> known;
    for (ProtectedFolder& folder : folders) {
        if (folder.path.empty() || folder.path.find('%') != std::string::npos)
            continue;
        folder.path = Resolved(folder.path);
        known.push_back(folder);
    }
    return known;
}

ResolvedFolder ResolveSessionFolder(const std::string& configured,
                                    const std::vector<ProtectedFolder>& protectedFolders) {
    ResolvedFolder result;
    result.configured = configured;
    const std::string expanded = Expand(configured);
    // Relative paths are refused before the system could make them full with its current
    // folder.
    result.verdict = CheckSessionFolder(expanded, protectedFolders);
    if (!result.verdict.Accepted())
        return result;
    result.path = Resolved(FullPath(result.verdict.normalized));
    result.verdict = CheckSessionFolder(result.path, protectedFolders);
    if (!result.verdict.Accepted())
        return result;
    const DWORD attributes = ::GetFileAttributesA(result.path.c_str());
    result.exists =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!result.exists)
        return result;
    const std::string real = RealPath(result.path);
    const std::optional<std::string> realNormalized = NormalizeFolderPath(real);
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !realNormalized ||
        !SamePath(*realNormalized, result.path)) {
        // Refused wherever the link leads: a link can be changed after this check.
        result.verdict.rule = FolderRule::IsLink;
        result.verdict.protectedName =
            "leading to " + (realNormalized ? *realNormalized : std::string("an unknown place"));
    }
    return result;
}
