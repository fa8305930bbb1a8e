#pragma once
// One owner for every Windows handle: the type names how it is released.

#include <windows.h>

#include <utility>

template <typename T, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    T Get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }
    T Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(T handle = Traits::Invalid()) {
        T old = std::exchange(m_handle, handle);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }
    // For APIs that return a handle through a pointer argument.
    T* Put() {
        Reset();
        return &m_handle;
    }

private:
    T m_handle = Traits::Invalid();
};

template <typename T> struct NullHandleTraits {
    static constexpr T Invalid() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
};

struct KernelHandleTraits : NullHandleTraits<HANDLE> {
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct RegKeyTraits : NullHandleTraits<HKEY> {
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct ModuleTraits : NullHandleTraits<HMODULE> {
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct IconTraits : NullHandleTraits<HICON> {
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct MenuTraits : NullHandleTraits<HMENU> {
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
template <typename T> struct GdiObjectTraits : NullHandleTraits<T> {
    static void Close(T h) { ::DeleteObject(h); }
};
struct MemoryDcTraits : NullHandleTraits<HDC> {
    static void Close(HDC h) { ::DeleteDC(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueHkey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using UniqueDc = UniqueHandle<HDC, MemoryDcTraits>;
