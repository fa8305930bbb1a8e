// The desktop's background and its icon grid.
#include "app/app.h"
#include "desktop/icon_painter.h"
#include "desktop/main_frame.h"
#include "desktop/picture_loader.h"

void CMainFrame::DrawIcons(HDC dc) {
    if (!m_app.m_catalogue)
        return;
    const IconPaintStyle style{m_app.m_captionFont.Get(), static_cast<COLORREF>(m_app.cvetfona),
                               static_cast<COLORREF>(m_app.cveticon),
                               static_cast<COLORREF>(m_app.fontcolor)};
    const Icons& catalogue = *m_app.m_catalogue;
    std::function<bool(int)> isRunning;
    if (m_running.AnyRunning()) // an idle desktop's paint pass stays as it was
        isRunning = [&](int i) {
            const ProgramEntry& entry = catalogue.m_entries[i];
            return m_running.IsRunning(RunningPrograms::KeyOf(entry.programPath, entry.parameters));
        };
    DrawDesktopIcons(dc, m_layout, catalogue, CurrentTab(), m_placedLimit, style, &m_iconCache,
                     isRunning);
}

void CMainFrame::RebuildBackground() {
    if (m_app.isBitmap) {
        const bool stretch = m_app.fullscreen != 0;
        if (LoadPicture(m_app.backgroundBitmap, stretch ? m_app.m_screenWidth : 0,
                        stretch ? m_app.m_screenHeight : 0, static_cast<COLORREF>(m_app.cvetfona),
                        m_app.m_backgroundPicture)) {
            // The pattern brush copies the picture; the picture itself stays in its slot until
            // the next load replaces it.
            m_app.m_backgroundBitmap.Reset();
            m_app.m_backgroundBrush.Reset(::CreatePatternBrush(m_app.m_backgroundPicture));
            if (m_app.m_backgroundBrush)
                return;
        } else {
            // A picture that cannot be shown is forgotten, so it is not tried at every start.
            m_app.backgroundBitmap.clear();
            m_app.isBitmap = 0;
            m_app.m_settings.WriteString("backgroundBitmap", "");
            m_app.m_settings.WriteDword("isBitmap", 0);
        }
    }
    m_app.m_backgroundBrush.Reset(::CreateSolidBrush(static_cast<COLORREF>(m_app.cvetfona)));
}
