#include "app/registry_plus.h"

#include "app/rot13.h"

#include <vector>

namespace {
constexpr REGSAM kAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_WOW64_64KEY;
constexpr REGSAM kReadAccess = KEY_READ | KEY_WOW64_64KEY;

CRegistryPlus::OpenKeyFunction g_openKey = &CRegistryPlus::OpenKeyForReal;

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

CRegistryPlus::OpenKeyFunction CRegistryPlus::SetOpenKeyFunction(OpenKeyFunction open) {
    return std::exchange(g_openKey, open ? open : &OpenKeyForReal);
}

LONG CRegistryPlus::OpenKeyForReal(HKEY root, const char* subkey, REGSAM access, bool create,
                                   HKEY* key) {
    if (create)
        return ::RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 key, nullptr);
    return ::RegOpenKeyExA(root, subkey, 0, access, key);
}

CRegistryPlus::CRegistryPlus(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    if (g_openKey(root, subkey, kAccess, true, &key) == ERROR_SUCCESS) {
        m_key.Reset(key);
        m_writable = true;
        return;
    }
    // A standard account may read HKLM but not write it: its settings are still the operator's.
    key = nullptr;
    if (g_openKey(root, subkey, kReadAccess, false, &key) == ERROR_SUCCESS)
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

bool CRegistryPlus::WriteDword(const char* name, int value) {
    NoteWrite(name);
    const DWORD data = static_cast<DWORD>(value);
    return Written(m_key ? ::RegSetValueExA(m_key.Get(), name, 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&data), sizeof(data))
                         : ERROR_INVALID_HANDLE);
}

bool CRegistryPlus::WriteByte(const char* name, BYTE value) {
    NoteWrite(name);
    return Written(m_key ? ::RegSetValueExA(m_key.Get(), name, 0, REG_BINARY, &value, 1)
                         : ERROR_INVALID_HANDLE);
}

bool CRegistryPlus::WriteString(const char* name, const std::string& text) {
    NoteWrite(name);
    return Written(m_key ? ::RegSetValueExA(m_key.Get(), name, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1))
                         : ERROR_INVALID_HANDLE);
}

bool CRegistryPlus::DeleteValue(const char* name) {
    NoteWrite((std::string("-") + name).c_str());
    if (!m_key)
        return Written(ERROR_INVALID_HANDLE);
    const LONG status = ::RegDeleteValueA(m_key.Get(), name);
    return Written(status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status);
}

bool CRegistryPlus::Written(LONG status) {
    if (status == ERROR_SUCCESS)
        return true;
    ++m_failedWrites;
    return false;
}

void CRegistryPlus::NoteWrite(const char* name) {
    if (m_writeLog)
        m_writeLog->push_back(name);
}

bool CRegistryPlus::WriteSecret(const char* name, const std::string& text) {
    return WriteString(name, Rot13(text));
}

bool CRegistryPlus::ReadSecret(const char* name, std::string& out) {
    std::string stored;
    if (!TryReadString(name, stored))
        return false;
    out = Rot13(stored);
    return true;
}
