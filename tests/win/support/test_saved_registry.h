#pragma once
// Puts registry values and keys back as they were, for tests that change the real registry.

#include <windows.h>

#include <string>
#include <vector>

struct RegistryValueCopy {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// One value: restored (or deleted again, if it did not exist) at the end of the scope.
class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, std::wstring subkey, std::wstring name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

private:
    HKEY m_root;
    std::wstring m_subkey;
    RegistryValueCopy m_value;
    bool m_existed = false;
};

// Every value of one key: at the end of the scope the key holds exactly those values again,
// or is deleted when it did not exist.
class SavedRegistryKey {
public:
    SavedRegistryKey(HKEY root, std::wstring subkey);
    ~SavedRegistryKey();
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

private:
    HKEY m_root;
    std::wstring m_subkey;
    std::vector<RegistryValueCopy> m_values;
    bool m_existed = false;
};

// Value names in enumeration order; empty when the key cannot be opened.
std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& subkey);
// Creates the key when needed. Data of strings is written with its terminator.
void WriteString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                 const std::wstring& text, DWORD type = REG_SZ);
void WriteDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD value);
void WriteRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type,
              const void* data, DWORD bytes);
bool ReadString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                std::wstring& text);
bool ReadDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD& value);
void DeleteValue(HKEY root, const std::wstring& subkey, const std::wstring& name);
void DeleteKeyTree(HKEY root, const std::wstring& subkey);
