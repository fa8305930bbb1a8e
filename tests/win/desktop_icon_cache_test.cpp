// The desktop's icon cache: every frame painted from it is the frame painted by extracting each
// icon afresh; a replaced or newly installed icon file shows at the next pass; and a day of
// repaint ticks and tab switches leaves the desktop's GDI and USER objects where they were.
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_cache.h"
#include "desktop/icon_image.h"
#include "desktop/icon_painter.h"
#include "framework/unique_handle.h"
#include "support/test_desktop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kDesktop = RGB(0, 0, 96);
const char* const kNotepad = "C:\\windows\\notepad.exe";
const char* const kRegedit = "C:\\windows\\regedit.exe";
const char* const kWinecfg = "C:\\windows\\system32\\winecfg.exe";

// A 1024 x 768 picture on the desktop colour, read back whole for comparison.
class Canvas {
public:
    Canvas() {
        ::SelectObject(m_dc.Get(), m_bitmap.Get());
        RECT all{0, 0, 1024, 768};
        UniqueBrush fill(::CreateSolidBrush(kDesktop));
        ::FillRect(m_dc.Get(), &all, fill.Get());
    }
    HDC Dc() const { return m_dc.Get(); }
    std::vector<std::uint32_t> Pixels() const {
        std::vector<std::uint32_t> pixels(1024 * 768);
        ::GetBitmapBits(m_bitmap.Get(), static_cast<LONG>(pixels.size() * 4), pixels.data());
        return pixels;
    }
    std::vector<std::uint32_t> Pixels(const GridRect& r) const {
        std::vector<std::uint32_t> all = Pixels(), part;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                part.push_back(all[y * 1024 + x]);
        return part;
    }

private:
    UniqueBitmap m_bitmap{::CreateBitmap(1024, 768, 1, 32, nullptr)};
    UniqueDc m_dc{::CreateCompatibleDC(nullptr)};
};

class IconCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_icons = std::make_unique<Icons>(m_temp.File("icons.bin"));
        m_icons->m_tabs = {"One", "Two"};
    }
    void Add(int column, int row, int tab, const std::string& iconFile, int iconIndex = 0) {
        ProgramEntry e{};
        e.column = column;
        e.row = row;
        e.tab = tab;
        e.iconIndex = iconIndex;
        std::strcpy(e.caption, ("Program at " + std::to_string(column)).c_str());
        std::strcpy(e.iconFile, iconFile.c_str());
        m_icons->AddEntry(e);
    }
    std::vector<std::uint32_t> Paint(int tab, int placedLimit, IconCache* cache) {
        Canvas canvas;
        DrawDesktopIcons(canvas.Dc(), m_layout, *m_icons, tab, placedLimit, m_style, cache);
        return canvas.Pixels();
    }
    std::vector<std::uint32_t> IconPixels(int column, IconCache* cache) {
        Canvas canvas;
        DrawDesktopIcons(canvas.Dc(), m_layout, *m_icons, 0, -1, m_style, cache);
        return canvas.Pixels(m_layout.IconRect(column, 0));
    }

    TempFolder m_temp;
    std::unique_ptr<Icons> m_icons;
    DesktopLayout m_layout = DesktopLayout::Compute(1024, 768, false);
    UniqueFont m_font{
        ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma")};
    IconPaintStyle m_style{m_font.Get(), kDesktop, RGB(0, 128, 0), RGB(255, 255, 0)};
};

TEST_F(IconCacheTest, EveryFramePaintedFromTheCacheIsTheFrameExtractedAfresh) {
    // Icons of three files, a second image, an index past the file's icons, a missing file, no
    // file at all, a name found along the search path and a tab of its own.
    Add(0, 0, 0, kNotepad);
    Add(1, 0, 0, kRegedit);
    Add(2, 0, 0, kWinecfg);
    Add(3, 0, 0, kWinecfg, 1);
    Add(4, 0, 0, kNotepad, 40);
    Add(5, 0, 0, "C:\\nowhere\\missing.exe");
    Add(6, 0, 0, "");
    Add(7, 0, 0, "notepad.exe");
    Add(0, 1, 0, kRegedit);
    Add(12, 4, 0, kNotepad);
    Add(0, 0, 1, kWinecfg);
    Add(1, 0, 1, kNotepad);

    IconCache cache;
    const struct {
        int tab, placedLimit;
    } frames[] = {{0, -1}, {0, -1}, {1, -1}, {0, 4}, {-1, -1}, {0, -1}};
    for (const auto& f : frames) {
        SCOPED_TRACE("tab " + std::to_string(f.tab) + ", limit " + std::to_string(f.placedLimit));
        EXPECT_TRUE(Paint(f.tab, f.placedLimit, nullptr) == Paint(f.tab, f.placedLimit, &cache));
    }
    EXPECT_EQ(cache.Extractions(), 7u) << "each file and index is extracted once";
    EXPECT_EQ(cache.Size(), 7u);
}

TEST_F(IconCacheTest, AReplacedOrNewlyInstalledIconFileShowsAtTheNextPass) {
    const std::string replaced = m_temp.File("program.exe");
    const std::string later = m_temp.File("installed-later.exe");
    ASSERT_TRUE(::CopyFileA(kNotepad, replaced.c_str(), FALSE));
    Add(0, 0, 0, replaced);
    Add(1, 0, 0, later);
    IconCache cache;
    const auto notepad = IconPixels(0, &cache);
    const auto application = IconPixels(1, &cache);
    ASSERT_TRUE(notepad != application);

    ASSERT_TRUE(::CopyFileA(kRegedit, replaced.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(kWinecfg, later.c_str(), FALSE));
    const auto regedit = IconPixels(0, &cache);
    EXPECT_TRUE(regedit != notepad) << "the replaced file's icon";
    EXPECT_TRUE(regedit == IconPixels(0, nullptr));
    const auto installed = IconPixels(1, &cache);
    EXPECT_TRUE(installed != application) << "the file that appeared";
    EXPECT_TRUE(installed == IconPixels(1, nullptr));

    ASSERT_TRUE(::DeleteFileA(later.c_str()));
    EXPECT_TRUE(IconPixels(1, &cache) == application) << "a file that went";
    EXPECT_EQ(cache.Extractions(), 5u);
}

TEST_F(IconCacheTest, IconsNotAskedForAWhileAreLetGo) {
    Add(0, 0, 0, kNotepad);
    Add(0, 0, 1, kRegedit);
    IconCache cache;
    Paint(1, -1, &cache);
    for (unsigned pass = 1; pass < IconCache::kKeptPasses; ++pass)
        Paint(0, -1, &cache);
    EXPECT_EQ(cache.Size(), 2u);
    Paint(0, -1, &cache);
    EXPECT_EQ(cache.Size(), 1u) << "the other tab's icon went after kKeptPasses passes";
}

// An icon made here: 32 x 32 unless told, with alpha that fades across it (a soft edge on every
// pixel) or, with alpha 0 everywhere, drawn through its AND mask.
UniqueIcon MadeIcon(bool withAlpha, int size = 32) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
    void* bits = nullptr;
    UniqueBitmap colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) {
        const std::uint32_t alpha = withAlpha ? (i * 7) % 256 : 0;
        pixels[i] = (alpha << 24) | static_cast<std::uint32_t>(i * 2654435761u & 0xFFFFFF);
    }
    std::vector<std::uint16_t> maskRows(static_cast<std::size_t>(size) * size / 16);
    for (std::size_t i = 0; i < maskRows.size(); ++i)
        maskRows[i] = i % 3 ? 0x0FF0 : 0xFFFF;
    UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, maskRows.data()));
    ICONINFO icon{TRUE, 0, 0, mask.Get(), colour.Get()};
    return UniqueIcon(::CreateIconIndirect(&icon));
}

TEST(IconImageTest, PaintsWhatDrawIconPaintsOverAnyPictureAndOverItself) {
    UniqueIcon notepad, regedit, winecfg, alpha(MadeIcon(true)), masked(MadeIcon(false)),
        large(MadeIcon(true, 48));
    ::ExtractIconExA(kNotepad, 0, notepad.Put(), nullptr, 1);
    ::ExtractIconExA(kRegedit, 0, regedit.Put(), nullptr, 1);
    ::ExtractIconExA(kWinecfg, 0, winecfg.Put(), nullptr, 1);
    using M = IconImage::Method;
    const struct {
        const char* name;
        HICON icon;
        M expected;
    } cases[] = {{"notepad", notepad.Get(), M::AlphaBlend},
                 {"regedit", regedit.Get(), M::AlphaBlend},
                 {"winecfg", winecfg.Get(), M::AlphaBlend},
                 {"application", ::LoadIcon(nullptr, IDI_APPLICATION), M::AlphaBlend},
                 {"soft alpha", alpha.Get(), M::AlphaBlend},
                 {"masked", masked.Get(), M::MaskAndColour},
                 // Not the system's icon size: DrawIcon stretches it, so DrawIcon draws it.
                 {"48 x 48", large.Get(), M::DrawIcon}};
    // A picture unlike the probes the image proves itself on: bands of grey and colour.
    std::vector<std::uint32_t> picture(256 * 64);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint32_t>((i % 256) * 0x010101u) ^ ((i / 256) << 18);
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 256, -64, 1, 32, BI_RGB}};
    auto fresh = [&] {
        UniqueBitmap b(::CreateBitmap(256, 64, 1, 32, nullptr));
        ::SetDIBits(nullptr, b.Get(), 0, 64, picture.data(), &info, DIB_RGB_COLORS);
        return b;
    };
    auto pixels = [&](HBITMAP b) {
        std::vector<std::uint32_t> out(picture.size());
        ::GetBitmapBits(b, static_cast<LONG>(out.size() * 4), out.data());
        return out;
    };
    UniqueDc scratch(::CreateCompatibleDC(nullptr));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.icon, nullptr);
        UniqueBitmap expected = fresh(), actual = fresh();
        UniqueDc expectedDc(::CreateCompatibleDC(nullptr)), actualDc(::CreateCompatibleDC(nullptr));
        ::SelectObject(expectedDc.Get(), expected.Get());
        ::SelectObject(actualDc.Get(), actual.Get());
        IconImage image(c.icon);
        // Drawn three times at each place, as repaint ticks draw over what was there.
        for (int pass = 0; pass < 3; ++pass)
            for (int x : {0, 37, 101, 200}) {
                ::DrawIcon(expectedDc.Get(), x, (x / 3) % 30, c.icon);
                image.Draw(actualDc.Get(), x, (x / 3) % 30, scratch.Get(), 32);
            }
        EXPECT_EQ(image.DrawingMethod(), c.expected);
        EXPECT_TRUE(pixels(expected.Get()) == pixels(actual.Get()));
    }
}

// Live GDI objects of this process: the system's count where it keeps one; otherwise (Wine)
// the used entries of the process's handle table, which accepts a handle's index alone.
int LiveGdiObjects() {
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    int live = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        live += ::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return live;
}

// Live USER objects: the system's count where it keeps one; otherwise the windows of this
// thread with their children and the icons the desktop holds (each icon's images are GDI
// bitmaps, so icons are counted among the GDI objects too).
int LiveUserObjects(const CMainFrame& frame) {
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))
        return static_cast<int>(n);
    int windows = 0;
    auto count = [](HWND hwnd, LPARAM counter) -> BOOL {
        ++*reinterpret_cast<int*>(counter);
        ::EnumChildWindows(
            hwnd, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<int*>(c), TRUE; },
            counter);
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), count, reinterpret_cast<LPARAM>(&windows));
    return windows + static_cast<int>(frame.CachedIcons().Size());
}

TEST(GdiObjectCount, SeesObjectsMadeAndDeleted) {
    const int before = LiveGdiObjects();
    std::vector<UniqueBrush> brushes;
    for (int i = 0; i < 10; ++i)
        brushes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(LiveGdiObjects(), before + 10);
    brushes.clear();
    EXPECT_EQ(LiveGdiObjects(), before);
}

class DesktopSoakTest : public DesktopTest {};

TEST_F(DesktopSoakTest, TenThousandTicksAndAThousandTabSwitchesLeaveTheObjectsFlat) {
    WriteCatalogue({{0, 0, 0, "Notepad", "", "", "", "", kNotepad},
                    {1, 0, 0, "Regedit", "", "", "", "", kRegedit},
                    {2, 0, 0, "Winecfg", "", "", "", "", kWinecfg},
                    {3, 0, 0, "Missing", "", "", "", "", "C:\\nowhere\\missing.exe"},
                    {0, 0, 0, "Notepad", "", "", "", "", kNotepad, 1, 1},
                    {1, 0, 1, "Second", "", "", "", "", kNotepad, 1, 1},
                    {2, 0, 0, "Regedit", "", "", "", "", kRegedit, 1, 1}},
                   {"One", "Two"});
    CMainFrame& frame = Start();
    TabCtrl& strip = frame.TabStrip();
    int switches = 0;
    auto run = [&](int ticks) {
        for (int tick = 1; tick <= ticks; ++tick) {
            ::SendMessageA(frame.Hwnd(), WM_TIMER, CApp::kRepaintTimer, 0);
            if (tick % 10 == 0) {
                strip.SetSel(strip.GetTab(++switches % 2));
                ::RedrawWindow(frame.Hwnd(), nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            }
        }
        PumpMessages();
    };
    run(100); // past the first ticks, which also redraw two buttons
    const int gdi = LiveGdiObjects();
    const int user = LiveUserObjects(frame);
    const unsigned extractions = frame.CachedIcons().Extractions();
    run(10000);
    EXPECT_EQ(switches, 1010);
    EXPECT_LE(LiveGdiObjects(), gdi + 4);
    EXPECT_LE(LiveUserObjects(frame), user);
    EXPECT_EQ(frame.CachedIcons().Extractions(), extractions) << "no file changed";
    EXPECT_EQ(frame.CachedIcons().Size(), 5u);
}

TEST_F(DesktopSoakTest, AnIconFileReplacedOnDiskShowsAfterOneTick) {
    const std::string iconFile = m_files.File("game.exe");
    ASSERT_TRUE(::CopyFileA(kNotepad, iconFile.c_str(), FALSE));
    WriteCatalogue({{3, 1, 0, "Game", "", "", "", "", iconFile}}, {"One"});
    CMainFrame& frame = Start();
    const GridRect icon = frame.Layout().IconRect(3, 1);
    auto pixelsOf = [&](HDC dc) {
        std::vector<COLORREF> pixels;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x)
                pixels.push_back(::GetPixel(dc, x, y));
        return pixels;
    };
    auto onScreen = [&] { return pixelsOf(WindowPixels(frame.Hwnd()).dc); };
    // The tick draws over what is there, so the reference goes through the same passes,
    // each icon extracted afresh.
    Canvas reference;
    auto drawAfresh = [&] {
        DrawDesktopIcons(reference.Dc(), frame.Layout(), *m_app->m_catalogue, 0, -1,
                         {m_app->m_captionFont.Get(), kDesktop, kDesktop, 0}, nullptr);
        return pixelsOf(reference.Dc());
    };
    ::RedrawWindow(frame.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const auto before = onScreen();
    ASSERT_TRUE(before == drawAfresh());

    ASSERT_TRUE(::CopyFileA(kRegedit, iconFile.c_str(), FALSE));
    ::SendMessageA(frame.Hwnd(), WM_TIMER, CApp::kRepaintTimer, 0);
    const auto after = onScreen();
    EXPECT_TRUE(after != before);
    EXPECT_TRUE(after == drawAfresh());
}

} // namespace
