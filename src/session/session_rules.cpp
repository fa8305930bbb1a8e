#include "session/session_rules.h"

#include <cctype>
#include <cstdio>

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits what follows a root into names, resolving "." and ".." as Windows does.
bool AppendNames(std::string_view rest, std::vector<std::string>& names) {
    std::size_t i = 0;
    while (i <= rest.size()) {
        std::size_t end = i;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        std::string name(rest.substr(i, end - i));
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (name != ".") {
            // Windows drops trailing dots and spaces: "Windows. " is "Windows".
            while (!name.empty() && (name.back() == '.' || name.back() == ' '))
                name.pop_back();
            if (name.find_first_of(":*?\"<>|") != std::string::npos)
                return false; // a stream name or wildcard is no folder
            if (!name.empty())
                names.push_back(name);
        }
        i = end + 1;
    }
    return true;
}

std::string Join(std::string root, const std::vector<std::string>& names) {
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0)
            root += '\\';
        root += names[k];
    }
    return root;
}

// The length of the root of a normalized path: "C:\" or "\\server\share".
std::size_t RootLength(std::string_view path) {
    if (path.size() >= 3 && path[1] == ':')
        return 3;
    const std::size_t server = path.find('\\', 2);
    const std::size_t share =
        server == std::string_view::npos ? server : path.find('\\', server + 1);
    return share == std::string_view::npos ? path.size() : share;
}

} // namespace

std::optional<std::string> NormalizeFolderPath(std::string_view path) {
    std::string text(path);
    for (char& c : text)
        if (c == '/')
            c = '\\';
    // Long-path forms name the same folders.
    if (text.rfind("\\\\?\\UNC\\", 0) == 0)
        text = "\\\\" + text.substr(8);
    else if (text.rfind("\\\\?\\", 0) == 0)
        text = text.substr(4);
    std::vector<std::string> names;
    if (text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == ':' && text[2] == '\\') {
        if (!AppendNames(std::string_view(text).substr(3), names))
            return std::nullopt;
        std::string root = {static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))),
                            ':', '\\'};
        return Join(root, names);
    }
    if (text.size() > 2 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\' &&
        text[2] != '.' && text[2] != '?') {
        if (!AppendNames(std::string_view(text).substr(2), names) || names.size() < 2)
            return std::nullopt; // "\\server" alone names no share
        return "\\\\" + Join({}, names);
    }
    return std::nullopt;
}

bool SamePath(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

bool IsInside(std::string_view inner, std::string_view outer) {
    if (inner.size() <= outer.size() || !SamePath(inner.substr(0, outer.size()), outer))
        return false;
    // "C:\" ends in its separator already; "C:\Data" must be followed by one.
    return outer.back() == '\\' || inner[outer.size()] == '\\';
}

FolderVerdict CheckSessionFolder(std::string_view path,
                                 const std::vector<ProtectedFolder>& protectedFolders) {
    FolderVerdict verdict;
    const std::optional<std::string> normalized = NormalizeFolderPath(path);
    if (!normalized)
        return verdict;
    verdict.normalized = *normalized;
    const std::string& folder = verdict.normalized;
    if (RootLength(folder) == folder.size()) {
        verdict.rule = folder[1] == ':' ? FolderRule::DriveRoot : FolderRule::ShareRoot;
        return verdict;
    }
    // The folder itself first: "it is the Program Files folder" says more than "it contains
    // the folder of korvane.exe".
    for (int pass = 0; pass < 2; ++pass) {
        for (const ProtectedFolder& guarded : protectedFolders) {
            const std::optional<std::string> protectedPath = NormalizeFolderPath(guarded.path);
            if (!protectedPath)
                continue;
            FolderRule rule = FolderRule::Accepted;
            if (pass == 0 && SamePath(folder, *protectedPath))
                rule = FolderRule::IsProtected;
            else if (pass == 1 && IsInside(*protectedPath, folder))
                rule = FolderRule::ContainsProtected;
            else if (pass == 1 && guarded.refuseInside && IsInside(folder, *protectedPath))
                rule = FolderRule::InsideProtected;
            if (rule != FolderRule::Accepted) {
                verdict.rule = rule;
                verdict.protectedName = guarded.name;
                return verdict;
            }
        }
    }
    verdict.rule = FolderRule::Accepted;
    return verdict;
}

std::string RefusalMessage(std::string_view shownPath, const FolderVerdict& verdict) {
    std::string text = "\"" + std::string(shownPath) + "\" is never emptied at a session end: ";
    switch (verdict.rule) {
    case FolderRule::Accepted:
        return {};
    case FolderRule::NotFullPath:
        return text + "it is not a full path. A folder starts with a drive letter (C:\\...) or "
                      "a network share (\\\\server\\share\\...).";
    case FolderRule::DriveRoot:
        return text + "it is the root of a drive.";
    case FolderRule::ShareRoot:
        return text + "it is the root of a network share.";
    case FolderRule::IsProtected:
        return text + "it is " + verdict.protectedName + ".";
    case FolderRule::ContainsProtected:
        return text + "it contains " + verdict.protectedName + ".";
    case FolderRule::InsideProtected:
        return text + "it lies inside " + verdict.protectedName + ".";
    case FolderRule::IsLink:
        return text + "it is, or lies behind, a junction or symbolic link (" +
               verdict.protectedName + ").";
    }
    return text;
}

std::vector<std::string> DefaultSessionFolders() {
    return {"%USERPROFILE%\\Desktop",
            "%USERPROFILE%\\Documents",
            "%USERPROFILE%\\Downloads",
            "%USERPROFILE%\\Pictures",
            "%USERPROFILE%\\Music",
            "%USERPROFILE%\\Videos",
            "%TEMP%",
            "%APPDATA%\\Microsoft\\Windows\\Recent",
            "%LOCALAPPDATA%\\Google\\Chrome\\User Data",
            "%LOCALAPPDATA%\\Microsoft\\Edge\\User Data",
            "%APPDATA%\\Mozilla\\Firefox\\Profiles",
            "%LOCALAPPDATA%\\Mozilla\\Firefox\\Profiles"};
}

std::vector<std::string> SplitMultiString(std::string_view data) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\0', start);
        if (end == std::string_view::npos)
            end = data.size();
        if (end == start)
            break; // the empty string that ends the list
        strings.emplace_back(data.substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

std::string JoinMultiString(const std::vector<std::string>& strings) {
    std::string data;
    for (const std::string& s : strings) {
        const std::string text = s.substr(0, s.find('\0'));
        if (text.empty())
            continue;
        data += text;
        data += '\0';
    }
    data += '\0';
    if (data.size() == 1)
        data += '\0'; // an empty list is two NULs
    return data;
}

std::string FormatSessionRecord(const SessionRecord& r) {
    static const char* const kReasons[] = {"ended by the customer", "ended by the operator",
                                           "ended after idle time", "cleaned at log-on"};
    char time[32];
    std::snprintf(time, sizeof(time), "%04d-%02d-%02d %02d:%02d:%02d", r.year, r.month, r.day,
                  r.hour, r.minute, r.second);
    std::string text = std::string(time) + "; " + kReasons[static_cast<int>(r.reason)] + "; " +
                       std::to_string(r.removed) + " files removed; " + std::to_string(r.left) +
                       " files left";
    if (r.programsTerminated > 0)
        text += "; " + std::to_string(r.programsTerminated) + " programs ended by force";
    if (r.refusedFolders > 0)
        text += "; " + std::to_string(r.refusedFolders) + " folders refused";
    return text;
}

std::vector<MenuItem> ShutdownChoiceItems(bool adminMode, int isRestart, bool sessionsEnabled) {
    std::vector<MenuItem> items;
    if (sessionsEnabled && !adminMode)
        items.push_back({command::kEndMySession, "End my session"});
    if (adminMode || isRestart == 1) {
        const std::vector<MenuItem> shutdown = MenuItems(DesktopMenu::Shutdown);
        items.insert(items.end(), shutdown.begin(), shutdown.end());
    }
    return items;
}

bool ShutdownButtonEnabled(int isRestart, bool sessionsEnabled) {
    return isRestart == 1 || sessionsEnabled;
}

bool SessionCommandAllowed(unsigned id, bool sessionsEnabled) {
    using namespace command;
    return sessionsEnabled &&
           (id == kEndMySession || id == kShutdownButton || id == kShutdownChoice);
}

bool ShouldShowIdleNotice(const IdleState& s) {
    if (!s.enabled || s.idleMinutes <= 0 || s.adminMode || s.busy || !s.inputSinceLastEnd)
        return false;
    return s.idleMilliseconds >= static_cast<unsigned long long>(s.idleMinutes) * 60000ull;
}

std::string IdleNoticeText(int secondsLeft) {
    return "This session ends in " + std::to_string(secondsLeft) +
           (secondsLeft == 1 ? " second" : " seconds") +
           ". Move the mouse or press a key to continue.";
}
