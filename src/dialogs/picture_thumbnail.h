#pragma once
// A dialog's picture control showing a thumbnail of a picture file, stretched to a fixed size.

#include "framework/unique_handle.h"

#include <windows.h>

#include <string>

class PictureThumbnail {
public:
    PictureThumbnail() = default;
    ~PictureThumbnail();
    PictureThumbnail(const PictureThumbnail&) = delete;
    PictureThumbnail& operator=(const PictureThumbnail&) = delete;

    // Creates the control: a bordered bitmap picture whose window is `area` (client pixels).
    void Create(HWND dialog, int id, const RECT& area);
    // Decodes `path` stretched to width x height over `background` and shows it; a file that
    // cannot be decoded leaves the picture blank. Returns whether a picture is shown.
    bool Show(const std::string& path, int width, int height, COLORREF background);
    // Takes the picture out of the control before the control goes (WM_DESTROY).
    void Detach();

    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    HWND Control() const { return m_control; }

private:
    void SetImage(HBITMAP bitmap);

    HWND m_control = nullptr;
    UniqueBitmap m_bitmap;
};
