#pragma once
// The startup runner's rules for folder entries and registry data, free of the platform.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
// A full item path must fit the system's classic path buffer (259 characters + terminator).
inline constexpr std::size_t kMaxItemPathLength = 259;

// The folder path with exactly one trailing backslash added when it has none.
std::wstring WithTrailingBackslash(std::wstring folder);

// Whether a directory entry is started: not "." or "..", neither hidden nor system
// (which keeps out desktop.ini). Sub-folders are started like any other item.
bool IsStartableEntry(std::wstring_view name, std::uint32_t attributes);

// base + name, or nothing when the result would not fit the path buffer.
std::optional<std::wstring> FolderItemPath(std::wstring_view base, std::wstring_view name);

// The text of REG_SZ / REG_EXPAND_SZ data as returned by the registry: `bytes` bytes of
// UTF-16, which need not be terminated (a stray odd byte is dropped); ends at the first NUL.
std::wstring RegistryDataText(const std::uint8_t* data, std::size_t bytes);
