#include "session/session_settings.h"

#include "app/registry_plus.h"
#include "framework/unique_handle.h"
#include "session/session_rules.h"

namespace {

constexpr const char* kFolders = "folders";

UniqueHkey OpenKey(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr);
    return UniqueHkey(key);
}

} // namespace

bool ReadMultiString(HKEY key, const char* name, std::vector<std::string>& out) {
    DWORD type = 0;
    DWORD size = 0;
    if (!key || ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return false;
    std::string data(size, '\0');
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.resize(size);
        status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                    &size);
    }
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return false;
    data.resize(size);
    out = SplitMultiString(data);
    return true;
}

void WriteMultiString(HKEY key, const char* name, const std::vector<std::string>& strings) {
    if (!key)
        return;
    const std::string data = JoinMultiString(strings);
    ::RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
}

SessionSettings SessionSettings::Read(HKEY root, const char* subkey) {
    SessionSettings settings;
    CRegistryPlus store(root, subkey);
    int enabled = 0;
    store.ReadDword("enabled", 0, enabled);
    settings.enabled = enabled != 0;
    store.ReadDword("idleminutes", 0, settings.idleMinutes);
    if (settings.idleMinutes < 0)
        settings.idleMinutes = 0;
    const UniqueHkey key = OpenKey(root, subkey);
    if (!ReadMultiString(key.Get(), kFolders, settings.folders)) {
        settings.folders = DefaultSessionFolders();
        WriteMultiString(key.Get(), kFolders, settings.folders);
    }
    return settings;
}

void SessionSettings::Write(HKEY root, const char* subkey) const {
    CRegistryPlus store(root, subkey);
    store.WriteDword("enabled", enabled ? 1 : 0);
    store.WriteDword("idleminutes", idleMinutes);
    WriteMultiString(OpenKey(root, subkey).Get(), kFolders, folders);
}

void SessionSettings::WriteLastSession(const std::string& text, HKEY root, const char* subkey) {
    CRegistryPlus(root, subkey).WriteString("lastsession", text);
}
