#include "app/integration.h"

#include "app/integration_rules.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

#include <windows.h>

#include <string>

namespace {

const char* const kWinlogonKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr DWORD kShellValueBytes = 1024;

UniqueHkey OpenMachineKey(const char* subkey, REGSAM access) {
    UniqueHkey key;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, access | KEY_WOW64_64KEY, &opened) ==
        ERROR_SUCCESS)
        key.Reset(opened);
    return key;
}

} // namespace

std::optional<std::string> ReadWinlogonShell() {
    const UniqueHkey key = OpenMachineKey(kWinlogonKey, KEY_QUERY_VALUE);
    if (!key)
        return std::nullopt;
    char buffer[kShellValueBytes];
    DWORD size = sizeof(buffer);
    if (::RegQueryValueExA(key.Get(), "Shell", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The stored text need not be terminated: take what was returned, up to its first NUL.
    std::string value(buffer, size);
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    return value;
}

bool IsIntegrated() {
    const std::optional<std::string> shell = ReadWinlogonShell();
    return shell && ShellValueMeansIntegrated(*shell);
}

void SetIntegration(bool integrate) {
    const UniqueHkey winlogon = OpenMachineKey(kWinlogonKey, KEY_WRITE);
    if (!winlogon)
        return;
    const std::string shell = integrate ? ShellValueFor(ModulePath()) : std::string(kStandardShell);
    ::RegSetValueExA(winlogon.Get(), "Shell", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(shell.c_str()),
                     static_cast<DWORD>(shell.size() + 1));
    if (!integrate)
        return;
    const UniqueHkey policy = OpenMachineKey(kPolicyKey, KEY_WRITE);
    if (!policy)
        return;
    const DWORD enableLua = 0;
    ::RegSetValueExA(policy.Get(), "EnableLUA", 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&enableLua), sizeof(enableLua));
}
