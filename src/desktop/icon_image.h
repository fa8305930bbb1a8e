#pragma once
// One icon drawn from bitmaps of its own. DrawIcon builds a device context and selects the
// icon's images into it on every call, which costs several times the blit itself; the desktop
// draws the same few icons all day, so it keeps their images ready. Before an image is first
// drawn its way of drawing is proved against DrawIcon itself on probe pictures; an icon for which
// no way paints exactly what DrawIcon paints is drawn by DrawIcon.

#include "framework/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class IconImage {
public:
    enum class Method {
        Unchecked,     // not drawn yet: the way is chosen at the first draw
        DrawIcon,      // the system's own drawing
        AlphaBlend,    // premultiplied colour blended by its alpha
        MaskAndColour, // the AND mask, then the colour XORed over it
    };

    // `icon` stays the caller's and must outlive the image.
    explicit IconImage(HICON icon);
    IconImage(const IconImage&) = delete;
    IconImage& operator=(const IconImage&) = delete;

    // Paints exactly what DrawIcon(dc, x, y, icon) paints. `scratch` is a memory DC the caller
    // keeps for all images; nothing stays selected into it. `depth` is the DC's bits per pixel
    // (asked once by the caller, as asking costs more than the blit): a way proved on one
    // depth is proved again on another.
    void Draw(HDC dc, int x, int y, HDC scratch, int depth);
    Method DrawingMethod() const { return m_method; }

private:
    struct Way {
        Method method;
        std::vector<UniqueBitmap> bitmaps; // blitted in order
    };

    void Choose(HDC dc, HDC scratch);
    std::vector<Way> Candidates() const;
    bool PaintsAsDrawIcon(HDC dc, HDC scratch, const Way& way) const;
    void Paint(HDC dc, int x, int y, HDC scratch, const Way& way) const;

    HICON m_icon;
    int m_width = 0;
    int m_height = 0;
    bool m_hasColour = false;
    std::vector<std::uint32_t> m_colour; // top-down 0xAARRGGBB, as the icon holds it
    std::vector<std::uint32_t> m_mask;   // top-down, 0xFFFFFF where the AND mask is set
    Method m_method = Method::Unchecked;
    int m_checkedDepth = 0; // bits per pixel of the DC the way was proved on
    Way m_way{Method::DrawIcon, {}};
};
