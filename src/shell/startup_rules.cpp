#include "shell/startup_rules.h"

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

bool IsStartableEntry(std::wstring_view name, std::uint32_t attributes) {
    if (name.empty() || name == L"." || name == L"..")
        return false;
    return (attributes & (kAttributeHidden | kAttributeSystem)) == 0;
}

std::optional<std::wstring> FolderItemPath(std::wstring_view base, std::wstring_view name) {
    if (base.size() + name.size() > kMaxItemPathLength)
        return std::nullopt;
    std::wstring path(base);
    path += name;
    return path;
}

std::wstring RegistryDataText(const std::uint8_t* data, std::size_t bytes) {
    std::wstring text(bytes / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Byte by byte: registry data carries no alignment promise.
        text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return text;
}
