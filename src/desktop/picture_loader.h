#pragma once
// Decodes a JPEG, PNG, GIF or BMP file with GDI+ into a GDI bitmap, optionally stretched.

#include <windows.h>

#include <string>

// Empties `slot` (deleting its bitmap), then decodes `path` (ANSI code page) into it: at its
// own size when width and height are both 0, else stretched to width x height with bicubic
// interpolation, the aspect ratio not kept. `background` shows through transparent parts.
// Returns false, leaving the slot empty, when the file cannot be decoded. GDI+ is started by the
// first call.
bool LoadPicture(const std::string& path, int width, int height, COLORREF background,
                 HBITMAP& slot);

// Shuts GDI+ down when a picture started it (at exit); the next picture starts it again.
void StopPictureDecoding();
