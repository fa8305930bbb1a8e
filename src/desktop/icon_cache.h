#pragma once
// The desktop's extracted icons, kept between paints. Every paint pass looks at each icon file
// once (its size, time stamps and attributes); an icon whose file changed, appeared or went
// since it was extracted is extracted again, so what is drawn is always what the file holds
// at that pass. Icons not asked for during a while are let go.

#include "desktop/icon_image.h"
#include "framework/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

class IconCache {
public:
    // Passes an icon may go unasked before it is destroyed: a minute of repaint ticks, so
    // switching between tabs does not extract their icons again.
    static constexpr unsigned kKeptPasses = 30;

    // Starts a paint pass: every file is looked at again when its icon is next asked for.
    void BeginPass();
    // The large icon `index` of `file` as ExtractIconExA gives it at this pass; null when the
    // file yields none. The cache keeps the handle. Asked between BeginPass and EndPass.
    HICON Get(const std::string& file, int index);
    // Draws that icon at (x, y) exactly as DrawIcon would, from the images the cache keeps; the
    // system's application icon when the file yields none or `file` is empty.
    void Draw(HDC dc, int x, int y, const std::string& file, int index);
    // Destroys the icons that were not asked for during the last kKeptPasses passes.
    void EndPass();

    std::size_t Size() const { return m_icons.size(); }
    // Extractions since the cache was made: how often a file had to be read.
    unsigned Extractions() const { return m_extractions; }

private:
    struct FileStamp {
        bool found = false;
        std::string resolved;
        DWORD attributes = 0;
        std::uint64_t size = 0;
        std::uint64_t written = 0;
        std::uint64_t created = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct CachedIcon {
        FileStamp stamp;
        UniqueIcon icon;
        std::unique_ptr<IconImage> image; // of `icon`, made at the first pass after extraction
        unsigned lastPass = 0;
        unsigned extractedPass = 0;
    };

    const FileStamp& StampOf(const std::string& file);
    CachedIcon& Find(const std::string& file, int index);
    IconImage& ApplicationImage();

    std::map<std::pair<std::string, int>, CachedIcon> m_icons;
    std::map<std::string, FileStamp> m_passStamps; // files looked at during this pass
    std::unique_ptr<IconImage> m_applicationImage;
    UniqueDc m_scratch; // the images are selected into it while they are blitted
    unsigned m_pass = 0;
    unsigned m_depthPass = 0; // the pass `m_depth` was read in
    int m_depth = 0;          // bits per pixel of the DC drawn on
    unsigned m_extractions = 0;
};
