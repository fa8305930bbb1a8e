#include "dialogs/picture_thumbnail.h"

#include "desktop/picture_loader.h"

PictureThumbnail::~PictureThumbnail() {
    Detach();
}

void PictureThumbnail::Create(HWND dialog, int id, const RECT& area) {
    m_control = ::CreateWindowExA(
        0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BITMAP, area.left, area.top,
        area.right - area.left, area.bottom - area.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
}

bool PictureThumbnail::Show(const std::string& path, int width, int height, COLORREF background) {
    SetImage(nullptr); // the control must not show a bitmap while it is deleted
    HBITMAP slot = m_bitmap.Release();
    LoadPicture(path, width, height, background, slot);
    m_bitmap.Reset(slot);
    SetImage(m_bitmap.Get());
    return static_cast<bool>(m_bitmap);
}

void PictureThumbnail::Detach() {
    if (m_control && ::IsWindow(m_control))
        SetImage(nullptr);
    m_control = nullptr;
}

void PictureThumbnail::SetImage(HBITMAP bitmap) {
    if (!m_control)
        return;
    const HBITMAP previous = reinterpret_cast<HBITMAP>(
        ::SendMessageA(m_control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    // Version 6 of the controls shows a copy of a bitmap with alpha; that copy is ours to free.
    if (previous && previous != m_bitmap.Get())
        ::DeleteObject(previous);
}
