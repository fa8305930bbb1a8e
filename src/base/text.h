#pragma once
// Helpers for the fixed-size, NUL-terminated text fields of our records and settings.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Copies as much of `text` as fits, always leaving a terminating NUL; returns false when cut.
inline bool CopyText(char* field, std::size_t fieldSize, std::string_view text) {
    if (fieldSize == 0)
        return false;
    const std::size_t n = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, fieldSize - n);
    return n == text.size();
}

template <std::size_t N> bool CopyText(char (&field)[N], std::string_view text) {
    return CopyText(field, N, text);
}

// The text of a field up to its first NUL, never reading past the field.
inline std::string_view FieldText(const char* field, std::size_t fieldSize) {
    const void* nul = std::memchr(field, 0, fieldSize);
    return {field,
            nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : fieldSize};
}

template <std::size_t N> std::string_view FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}
