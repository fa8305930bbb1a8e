#include "app/crash_notice.h"

#include "app/crash_recovery.h"
#include "app/registry_plus.h"
#include "framework/modal_ui.h"

#include <cstdint>
#include <cstdio>

namespace {

// The moment as the operator's clock shows it: "2026-12-09 16:30:12".
std::string LocalTimeText(std::int64_t wallMs) {
    constexpr std::uint64_t kUnixEpochIn100ns = 116444736000000000ull;
    const std::uint64_t ticks = kUnixEpochIn100ns + static_cast<std::uint64_t>(wallMs) * 10000;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!::FileTimeToSystemTime(&utc, &universal) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        local = universal;
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth,
                  local.wDay, local.wHour, local.wMinute, local.wSecond);
    return text;
}

// The newest dump of that process: the reporter and the watcher name dumps "...-<pid>.dmp".
std::string DumpOf(const std::string& crashFolder, std::uint32_t processId) {
    WIN32_FIND_DATAA data;
    const std::string pattern = crashFolder + "\\*-" + std::to_string(processId) + ".dmp";
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    std::string newest;
    FILETIME newestTime{};
    do {
        if (newest.empty() || ::CompareFileTime(&data.ftLastWriteTime, &newestTime) > 0)
            newest = data.cFileName, newestTime = data.ftLastWriteTime;
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return crashFolder + "\\" + newest;
}

} // namespace

void TellOfLastCrash(HWND owner, CRegistryPlus& settings, const std::string& crashFolder) {
    std::string text;
    if (!settings.TryReadString("crashes", text))
        return;
    CrashHistory history = CrashHistory::Parse(text);
    const std::optional<CrashRecord> last = history.TakeUntold();
    if (!last)
        return;
    // Told once, even if the box is never closed.
    settings.WriteString("crashes", history.Format());
    std::string message = last->kind == CrashKind::Hang
                              ? "The desktop stopped answering on " +
                                    LocalTimeText(last->at.wallMs) + " and was ended."
                              : "The desktop crashed on " + LocalTimeText(last->at.wallMs) + ".";
    const std::string dump =
        crashFolder.empty() ? std::string() : DumpOf(crashFolder, last->processId);
    message += dump.empty()
                   ? "\nNo crash report of it was found."
                   : "\nCrash report: " + dump +
                         "\nPlease send it to your supplier with what was done at the time.";
    AppMessageBox(owner, message, "Warning!", MB_OK | MB_ICONWARNING);
}
