#include "app/lockdown.h"

#include "base/file_error.h"
#include "catalogue/atomic_file.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

#include <windows.h>

#include <sddl.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

AccessibilityFlags g_systemFlags;
AccessibilityFlags* g_flags = &g_systemFlags;

// HKEY_CURRENT_USER for our own account; the account's hive under HKEY_USERS for another one.
class UserRoot {
public:
    explicit UserRoot(const std::string& sid) {
        if (sid.empty() || sid == CurrentUserSid()) {
            m_root = HKEY_CURRENT_USER;
            return;
        }
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_USERS, sid.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
            m_owned.Reset(opened);
            m_root = opened;
        }
    }
    HKEY Get(PolicyRoot root) const {
        return root == PolicyRoot::User ? m_root : HKEY_LOCAL_MACHINE;
    }
    bool Available() const { return m_root != nullptr; }

private:
    UniqueHkey m_owned;
    HKEY m_root = nullptr;
};

UniqueHkey OpenKey(HKEY root, const std::string& key, REGSAM access) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, access | kView, &opened) != ERROR_SUCCESS)
        return UniqueHkey();
    return UniqueHkey(opened);
}

bool KeyExists(HKEY root, const std::string& key) {
    return static_cast<bool>(OpenKey(root, key, KEY_QUERY_VALUE));
}

OriginalValue ReadValue(HKEY root, PolicyRoot which, const std::string& key,
                        const std::string& name) {
    OriginalValue value{which, key, name};
    const UniqueHkey opened = OpenKey(root, key, KEY_QUERY_VALUE);
    DWORD type = 0, size = 0;
    if (!opened || ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                       ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    if (::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type,
                           value.data.empty() ? nullptr : value.data.data(),
                           &size) != ERROR_SUCCESS)
        return OriginalValue{which, key, name};
    value.data.resize(size);
    value.present = true;
    value.type = type;
    return value;
}

bool SameState(const OriginalValue& a, const OriginalValue& b) {
    return a.present == b.present && (!a.present || (a.type == b.type && a.data == b.data));
}

// Puts one value into the given state; true when it is in that state afterwards.
bool WriteValue(HKEY root, const OriginalValue& want) {
    if (SameState(ReadValue(root, want.root, want.key, want.name), want))
        return true; // nothing to do: also what keeps an unwritable key from failing a restore
    if (!want.present) {
        const UniqueHkey key = OpenKey(root, want.key, KEY_SET_VALUE);
        return key && ::RegDeleteValueA(key.Get(), want.name.c_str()) == ERROR_SUCCESS;
    }
    HKEY created = nullptr;
    if (::RegCreateKeyExA(root, want.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr,
                          &created, nullptr) != ERROR_SUCCESS)
        return false;
    const UniqueHkey key(created);
    return ::RegSetValueExA(key.Get(), want.name.c_str(), 0, want.type,
                            want.data.empty() ? nullptr : want.data.data(),
                            static_cast<DWORD>(want.data.size())) == ERROR_SUCCESS;
}

OriginalValue OurValue(const PolicyValue& policy) {
    OriginalValue value{policy.root, std::string(policy.key), std::string(policy.name), true,
                        REG_DWORD};
    const std::uint32_t data = policy.data;
    value.data.assign(reinterpret_cast<const std::uint8_t*>(&data),
                      reinterpret_cast<const std::uint8_t*>(&data) + sizeof(data));
    return value;
}

// How many trailing parts of the key do not exist yet.
int MissingParts(HKEY root, std::string key) {
    int missing = 0;
    while (!key.empty() && !KeyExists(root, key)) {
        ++missing;
        const std::size_t slash = key.find_last_of('\\');
        key = slash == std::string::npos ? std::string() : key.substr(0, slash);
    }
    return missing;
}

// Removes the keys the lockdown made, innermost first, as long as they are empty.
void RemoveMadeKeys(HKEY root, std::string key, int parts) {
    for (int i = 0; i < parts && !key.empty(); ++i) {
        const UniqueHkey opened = OpenKey(root, key, KEY_QUERY_VALUE);
        DWORD subkeys = 0, values = 0;
        if (!opened ||
            ::RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        if (subkeys != 0 || values != 0)
            return;
        if (::RegDeleteKeyExA(root, key.c_str(), kView, 0) != ERROR_SUCCESS)
            return;
        const std::size_t slash = key.find_last_of('\\');
        key = slash == std::string::npos ? std::string() : key.substr(0, slash);
    }
}

template <typename Info> bool ReadInfo(UINT action, Info& info) {
    info = Info{};
    info.cbSize = sizeof(info);
    return ::SystemParametersInfoA(action, sizeof(info), &info, 0) != FALSE;
}

template <typename Info> bool WriteInfo(UINT get, UINT set, std::uint32_t flags) {
    Info info;
    if (!ReadInfo(get, info))
        return false;
    info.dwFlags = flags;
    return ::SystemParametersInfoA(set, sizeof(info), &info, 0) != FALSE;
}

} // namespace

bool AccessibilityFlags::Read(AccessibilityFeature feature, std::uint32_t& flags) {
    bool ok = false;
    switch (feature) {
    case AccessibilityFeature::StickyKeys: {
        STICKYKEYS info;
        ok = ReadInfo(SPI_GETSTICKYKEYS, info);
        flags = info.dwFlags;
        break;
    }
    case AccessibilityFeature::FilterKeys: {
        FILTERKEYS info;
        ok = ReadInfo(SPI_GETFILTERKEYS, info);
        flags = info.dwFlags;
        break;
    }
    case AccessibilityFeature::ToggleKeys: {
        TOGGLEKEYS info;
        ok = ReadInfo(SPI_GETTOGGLEKEYS, info);
        flags = info.dwFlags;
        break;
    }
    }
    return ok;
}

bool AccessibilityFlags::Write(AccessibilityFeature feature, std::uint32_t flags) {
    // Not written to the user profile: a log-off puts the hotkeys back even without us.
    switch (feature) {
    case AccessibilityFeature::StickyKeys:
        return WriteInfo<STICKYKEYS>(SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, flags);
    case AccessibilityFeature::FilterKeys:
        return WriteInfo<FILTERKEYS>(SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, flags);
    case AccessibilityFeature::ToggleKeys:
        return WriteInfo<TOGGLEKEYS>(SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, flags);
    }
    return false;
}

AccessibilityFlags& CurrentAccessibilityFlags() {
    return *g_flags;
}

AccessibilityFlags* SetAccessibilityFlags(AccessibilityFlags* flags) {
    AccessibilityFlags* previous = g_flags;
    g_flags = flags ? flags : &g_systemFlags;
    return previous;
}

std::string CurrentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::string();
    const UniqueKernelHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        return std::string();
    char* text = nullptr;
    if (!::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return std::string();
    std::string sid(text);
    ::LocalFree(text);
    return sid;
}

std::string LockdownJournalPath() {
    char path[MAX_PATH] = {};
    std::string folder;
    if (SUCCEEDED(
            ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        folder = path;
    else
        folder = ModulePath().substr(0, ModulePath().find_last_of('\\'));
    return folder + "\\Quillmoran\\Shell\\" + std::string(kJournalFileName);
}

RestoreResult RestoreLockdownJournal() {
    return PolicyLockdown(LockdownJournalPath()).Restore();
}

PolicyLockdown::PolicyLockdown(std::string journalPath) : m_path(std::move(journalPath)) {}

bool PolicyLockdown::JournalExists() const {
    return ::GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<LockdownJournal> PolicyLockdown::ReadJournal() {
    std::ifstream file(m_path, std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    file.close();
    std::optional<LockdownJournal> journal = ParseJournal(text);
    if (!journal) // kept for a look, out of the way of the next journal
        ::MoveFileExA(m_path.c_str(), (m_path + ".damaged").c_str(), MOVEFILE_REPLACE_EXISTING);
    return journal;
}

bool PolicyLockdown::RecordOriginals() {
    LockdownJournal journal;
    journal.userSid = CurrentUserSid();
    for (const auto& [root, key] : LockdownKeys()) {
        HKEY hive = root == PolicyRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        journal.keys.push_back({root, std::string(key), MissingParts(hive, std::string(key))});
    }
    for (const PolicyValue& policy : kLockdownPolicies) {
        HKEY hive = policy.root == PolicyRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        journal.values.push_back(
            ReadValue(hive, policy.root, std::string(policy.key), std::string(policy.name)));
    }
    for (AccessibilityFeature feature : kAccessibilityFeatures) {
        std::uint32_t flags = 0;
        if (CurrentAccessibilityFlags().Read(feature, flags))
            journal.accessibility.push_back({feature, flags});
    }
    const std::string text = FormatJournal(journal);
    try {
        WriteFileAtomically(m_path, std::vector<unsigned char>(text.begin(), text.end()));
    } catch (const FileException&) {
        return false;
    }
    m_journal = std::move(journal);
    return true;
}

bool PolicyLockdown::Apply(int isRestart) {
    if (!m_journal && JournalExists())
        m_journal = ReadJournal();
    // A journal of another account cannot hold this account's originals.
    if (m_journal && m_journal->userSid != CurrentUserSid())
        return false;
    if (!m_journal && !RecordOriginals())
        return false;
    for (const PolicyValue& policy : kLockdownPolicies) {
        HKEY hive = policy.root == PolicyRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (PolicyWanted(policy, isRestart)) {
            WriteValue(hive, OurValue(policy)); // a key we may not write is skipped
            continue;
        }
        for (const OriginalValue& original : m_journal->values)
            if (original.root == policy.root && original.key == policy.key &&
                original.name == policy.name)
                WriteValue(hive, original);
    }
    for (const OriginalFlags& original : m_journal->accessibility)
        CurrentAccessibilityFlags().Write(original.feature,
                                          LockedAccessibilityFlags(original.flags));
    return true;
}

RestoreResult PolicyLockdown::Restore() {
    if (!m_journal && !JournalExists())
        return RestoreResult::NoJournal;
    std::optional<LockdownJournal> journal = m_journal ? m_journal : ReadJournal();
    if (!journal)
        return RestoreResult::Refused;
    const UserRoot user(journal->userSid);
    if (!user.Available())
        return RestoreResult::Incomplete;
    bool complete = true;
    for (const OriginalValue& original : journal->values)
        complete = WriteValue(user.Get(original.root), original) && complete;
    for (const OriginalKey& key : journal->keys)
        RemoveMadeKeys(user.Get(key.root), key.key, key.createdParts);
    // The flags belong to the session that runs us; another account's session is not ours.
    if (journal->userSid == CurrentUserSid())
        for (const OriginalFlags& original : journal->accessibility)
            CurrentAccessibilityFlags().Write(original.feature, original.flags);
    if (!complete)
        return RestoreResult::Incomplete;
    m_journal.reset();
    ::DeleteFileA(m_path.c_str());
    return RestoreResult::Restored;
}
