#include "shell/shell.h"

#include "framework/unique_handle.h"
#include "shell/launcher.h"
#include "shell/startup_rules.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {

struct ItemIdListTraits : NullHandleTraits<LPITEMIDLIST> {
    static void Close(LPITEMIDLIST list) { ::CoTaskMemFree(list); }
};
using UniqueItemIdList = UniqueHandle<LPITEMIDLIST, ItemIdListTraits>;

struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;

// Keys the walk has taken over are closed through the launcher layer.
struct LauncherKeyTraits : NullHandleTraits<HKEY> {
    static void Close(HKEY key) { ELCloseRegKey(key); }
};
using WalkedKey = UniqueHandle<HKEY, LauncherKeyTraits>;

constexpr DWORD kValueNameChars = 4096;
constexpr DWORD kValueDataBytes = 4096;

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kRunOnce = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t* const kRun32 = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kRunOnce32 =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool FolderPath(int csidl, std::wstring& path) {
    UniqueItemIdList list;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, list.Put())) || !list)
        return false;
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(list.Get(), buffer))
        return false;
    path = buffer;
    return true;
}

} // namespace

const std::array<Shell::RunKey, 6>& Shell::RunKeys() {
    static const std::array<RunKey, 6> keys{{
        {HKEY_LOCAL_MACHINE, kRun, KEY_READ, false},
        {HKEY_CURRENT_USER, kRun, KEY_READ, false},
        {HKEY_LOCAL_MACHINE, kRun32, KEY_READ, false},
        {HKEY_LOCAL_MACHINE, kRunOnce, KEY_ALL_ACCESS, true},
        {HKEY_CURRENT_USER, kRunOnce, KEY_ALL_ACCESS, true},
        {HKEY_LOCAL_MACHINE, kRunOnce32, KEY_ALL_ACCESS, true},
    }};
    return keys;
}

bool Shell::Start(const std::wstring& target) {
    return ELExecute(target.c_str(), L"", SW_SHOW, nullptr);
}

void Shell::RunStartupFolders() {
    for (const int csidl : {CSIDL_COMMON_STARTUP, CSIDL_STARTUP}) {
        std::wstring folder;
        if (FolderPath(csidl, folder))
            StartFolderItems(folder);
    }
}

void Shell::StartFolderItems(const std::wstring& folder) {
    // An empty path would become "\", the root of the current drive.
    if (folder.empty())
        return;
    const std::wstring base = WithTrailingBackslash(folder);
    const std::wstring pattern = base + L"*";
    WIN32_FIND_DATAW entry{};
    UniqueFind search(::FindFirstFileW(pattern.c_str(), &entry));
    if (!search)
        return;
    do {
        if (!IsStartableEntry(entry.cFileName, entry.dwFileAttributes))
            continue;
        // A path too long for the system's path buffer could not be opened anyway.
        if (const auto item = FolderItemPath(base, entry.cFileName))
            Start(*item);
    } while (::FindNextFileW(search.Get(), &entry));
}

void Shell::RunKeyValues(HKEY key, bool deleteStarted) {
    const WalkedKey walked(key);
    std::vector<wchar_t> name(kValueNameChars);
    std::vector<BYTE> data(kValueDataBytes);
    DWORD index = 0;
    for (;;) {
        DWORD nameChars = kValueNameChars;
        DWORD dataBytes = kValueDataBytes;
        DWORD type = REG_NONE;
        // Anything but success ends the walk: no more values, or one that does not fit.
        if (::RegEnumValueW(walked.Get(), index, name.data(), &nameChars, nullptr, &type,
                            data.data(), &dataBytes) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            ++index;
            continue;
        }
        Start(RegistryDataText(data.data(), dataBytes));
        if (!deleteStarted) {
            ++index;
            continue;
        }
        // The next value moves up to this index once this one is gone. If it cannot be
        // deleted it is stepped over instead, or the walk would start it again forever.
        if (::RegDeleteValueW(walked.Get(), name.data()) != ERROR_SUCCESS)
            ++index;
    }
}

void Shell::RunRegistryKeys() {
    for (const RunKey& runKey : RunKeys()) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(runKey.root, runKey.subkey, 0, runKey.access, &key) == ERROR_SUCCESS)
            RunKeyValues(key, runKey.deleteStarted);
    }
}
