#include "app/registry_plus.h"

#include "app/rot13.h"

#include <vector>

namespace {
constexpr REGSAM kAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_WOW64_64KEY;

// Reads a value of exactly `size` bytes; any other size counts as unreadable.
bool QueryExact(HKEY key, const char* name, void* data, DWORD size) {
    if (!key)
        return false;
    DWORD got = size;
    if (::RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(data), &got) !=
        ERROR_SUCCESS)
        return false;
    return got == size;
}
} // namespace

CRegistryPlus::CRegistryPlus() : CRegistryPlus(HKEY_LOCAL_MACHINE, kSubkey) {}

CRegistryPlus::CRegistryPlus(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                          nullptr) == ERROR_SUCCESS)
        m_key.Reset(key);
}

CRegistryPlus::~CRegistryPlus() = default;

void CRegistryPlus::ReadDword(const char* name, int defaultValue, int& out) {
    DWORD value = 0;
    if (QueryExact(m_key.Get(), name, &value, sizeof(value))) {
        out = static_cast<int>(value);
        return;
    }
    out = defaultValue;
    WriteDword(name, defaultValue);
}

void CRegistryPlus::ReadByte(const char* name, BYTE defaultValue, BYTE& out) {
    BYTE value = 0;
    if (QueryExact(m_key.Get(), name, &value, sizeof(value))) {
        out = value;
        return;
    }
    out = defaultValue;
    WriteByte(name, defaultValue);
}

bool CRegistryPlus::TryReadString(const char* name, std::string& out) {
    if (!m_key)
        return false;
    DWORD size = sizeof(m_buffer) - 1;
    LONG status = ::RegQueryValueExA(m_key.Get(), name, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(m_buffer), &size);
    if (status == ERROR_SUCCESS) {
        m_buffer[size] = '\0';
        out.assign(m_buffer); // up to the first NUL
        return true;
    }
    // Longer than our buffer: read it whole rather than cut or replace the stored text.
    std::vector<char> large;
    while (status == ERROR_MORE_DATA) {
        large.assign(static_cast<std::size_t>(size) + 1, '\0');
        status = ::RegQueryValueExA(m_key.Get(), name, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(large.data()), &size);
    }
    if (status != ERROR_SUCCESS)
        return false;
    large.resize(static_cast<std::size_t>(size) + 1, '\0');
    large[size] = '\0';
    out.assign(large.data());
    return true;
}

void CRegistryPlus::ReadString(const char* name, const std::string& defaultValue,
                               std::string& out) {
    if (TryReadString(name, out))
        return;
    out = defaultValue;
    WriteString(name, defaultValue);
}

void CRegistryPlus::WriteDword(const char* name, int value) {
    NoteWrite(name);
    if (!m_key)
        return;
    const DWORD data = static_cast<DWORD>(value);
    ::RegSetValueExA(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                     sizeof(data));
}

void CRegistryPlus::WriteByte(const char* name, BYTE value) {
    NoteWrite(name);
    if (!m_key)
        return;
    ::RegSetValueExA(m_key.Get(), name, 0, REG_BINARY, &value, 1);
}

void CRegistryPlus::WriteString(const char* name, const std::string& text) {
    NoteWrite(name);
    if (!m_key)
        return;
    ::RegSetValueExA(m_key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

void CRegistryPlus::NoteWrite(const char* name) {
    if (m_writeLog)
        m_writeLog->push_back(name);
}

void CRegistryPlus::WriteSecret(const char* name, const std::string& text) {
    WriteString(name, Rot13(text));
}

bool CRegistryPlus::ReadSecret(const char* name, std::string& out) {
    std::string stored;
    if (!TryReadString(name, stored))
        return false;
    out = Rot13(stored);
    return true;
}
