#include "support/test_saved_registry.h"

namespace {

// The tests are 64-bit programs: their own view is the 64-bit one.
constexpr REGSAM kView = KEY_WOW64_64KEY;

HKEY Open(HKEY root, const std::wstring& subkey, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, access | kView, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY Create(HKEY root, const std::wstring& subkey) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool ReadValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
               RegistryValueCopy& value) {
    DWORD type = REG_NONE, bytes = 0;
    if (::RegGetValueW(root, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                       nullptr, &bytes) != ERROR_SUCCESS)
        return false;
    value.name = name;
    value.type = type;
    value.data.resize(bytes);
    return ::RegGetValueW(root, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                          value.data.data(), &bytes) == ERROR_SUCCESS;
}

// All values of a key in enumeration order; empty when the key cannot be opened.
std::vector<RegistryValueCopy> ReadAllValues(HKEY root, const std::wstring& subkey) {
    std::vector<RegistryValueCopy> values;
    HKEY key = Open(root, subkey, KEY_READ);
    if (!key)
        return values;
    for (DWORD index = 0;; ++index) {
        std::vector<wchar_t> name(16384);
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE, bytes = 0;
        if (::RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS)
            break;
        RegistryValueCopy value;
        value.name.assign(name.data(), nameChars);
        value.type = type;
        value.data.resize(bytes);
        nameChars = static_cast<DWORD>(name.size());
        ::RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, value.data.data(),
                        &bytes);
        values.push_back(std::move(value));
    }
    ::RegCloseKey(key);
    return values;
}

} // namespace

SavedRegistryValue::SavedRegistryValue(HKEY root, std::wstring subkey, std::wstring name)
    : m_root(root), m_subkey(std::move(subkey)) {
    m_value.name = std::move(name);
    m_existed = ReadValue(m_root, m_subkey, m_value.name, m_value);
}

SavedRegistryValue::~SavedRegistryValue() {
    if (m_existed)
        WriteRaw(m_root, m_subkey, m_value.name, m_value.type, m_value.data.data(),
                 static_cast<DWORD>(m_value.data.size()));
    else
        DeleteValue(m_root, m_subkey, m_value.name);
}

SavedRegistryKey::SavedRegistryKey(HKEY root, std::wstring subkey)
    : m_root(root), m_subkey(std::move(subkey)) {
    if (HKEY key = Open(m_root, m_subkey, KEY_READ)) {
        m_existed = true;
        ::RegCloseKey(key);
    }
    m_values = ReadAllValues(m_root, m_subkey);
}

SavedRegistryKey::~SavedRegistryKey() {
    if (!m_existed) {
        DeleteKeyTree(m_root, m_subkey);
        return;
    }
    for (const std::wstring& name : ValueNames(m_root, m_subkey))
        DeleteValue(m_root, m_subkey, name);
    for (const RegistryValueCopy& value : m_values)
        WriteRaw(m_root, m_subkey, value.name, value.type, value.data.data(),
                 static_cast<DWORD>(value.data.size()));
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& subkey) {
    std::vector<std::wstring> names;
    for (const RegistryValueCopy& value : ReadAllValues(root, subkey))
        names.push_back(value.name);
    return names;
}

void WriteRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type,
              const void* data, DWORD bytes) {
    HKEY key = Create(root, subkey);
    if (!key)
        return;
    ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
}

void WriteString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                 const std::wstring& text, DWORD type) {
    WriteRaw(root, subkey, name, type, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD value) {
    WriteRaw(root, subkey, name, REG_DWORD, &value, sizeof(value));
}

bool ReadString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                std::wstring& text) {
    RegistryValueCopy value;
    if (!ReadValue(root, subkey, name, value) ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return false;
    text.assign(reinterpret_cast<const wchar_t*>(value.data.data()),
                value.data.size() / sizeof(wchar_t));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return true;
}

bool ReadDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD& out) {
    RegistryValueCopy value;
    if (!ReadValue(root, subkey, name, value) || value.type != REG_DWORD ||
        value.data.size() != sizeof(DWORD))
        return false;
    out = *reinterpret_cast<const DWORD*>(value.data.data());
    return true;
}

void DeleteValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
    HKEY key = Open(root, subkey, KEY_SET_VALUE);
    if (!key)
        return;
    ::RegDeleteValueW(key, name.c_str());
    ::RegCloseKey(key);
}

void DeleteKeyTree(HKEY root, const std::wstring& subkey) {
    HKEY key = Open(root, subkey, KEY_ALL_ACCESS);
    if (!key)
        return;
    ::RegDeleteTreeW(key, nullptr);
    ::RegCloseKey(key);
    ::RegDeleteKeyExW(root, subkey.c_str(), kView, 0);
}
