#include "dialogs/shortcut_target.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

// Single-threaded apartment for the link object; undone only if this call set it up.
class ComApartment {
public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

template <typename T> class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_object)
            m_object->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void** Put() { return reinterpret_cast<void**>(&m_object); }

private:
    T* m_object = nullptr;
};

} // namespace

std::string ShortcutTarget(const std::string& linkPath) {
    wchar_t widePath[MAX_PATH] = {};
    if (linkPath.empty() ||
        ::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0)
        return {};

    ComApartment apartment;
    ComRef<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Put())) ||
        !link)
        return {};
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Put())) || !file)
        return {};
    if (FAILED(file->Load(widePath, STGM_READ)))
        return {};
    if (FAILED(link->Resolve(nullptr, 0)))
        return {};
    char target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return {};
    target[MAX_PATH - 1] = '\0';
    return target;
}
