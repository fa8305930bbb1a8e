// The desktop's pictures and icon grid, painted into memory and checked by pixels.
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_painter.h"
#include "desktop/picture_loader.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

TEST(PictureLoader, DecodesAtItsOwnSizeOrStretchedAndFailsCleanly) {
    GdiplusSession gdiplus;
    TempFolder temp;
    const std::string picture = temp.File("quadrants.bmp");
    WriteWholeFile(picture, QuadrantBmp(64));

    HBITMAP slot = nullptr;
    ASSERT_TRUE(LoadPicture(picture, 0, 0, RGB(0, 0, 96), slot));
    EXPECT_EQ(BitmapSize(slot).cx, 64);
    EXPECT_EQ(BitmapSize(slot).cy, 64);
    EXPECT_EQ(PixelOf(slot, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(slot, 60, 60), RGB(255, 255, 255));

    HBITMAP previous = slot;
    ASSERT_TRUE(LoadPicture(picture, 200, 100, RGB(0, 0, 96), slot));
    EXPECT_EQ(::GetObjectType(previous), 0u) << "the slot's old bitmap is deleted";
    EXPECT_EQ(BitmapSize(slot).cx, 200);
    EXPECT_EQ(BitmapSize(slot).cy, 100);
    EXPECT_EQ(PixelOf(slot, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(slot, 190, 10), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(slot, 10, 90), RGB(0, 0, 255));

    WriteWholeFile(temp.File("broken.png"), "\x89PNG\r\n\x1a\nnot really a picture");
    for (const std::string& bad :
         {temp.File("broken.png"), temp.File("missing.jpg"), std::string()}) {
        SCOPED_TRACE(bad);
        previous = slot;
        EXPECT_FALSE(LoadPicture(bad, 0, 0, 0, slot));
        EXPECT_EQ(slot, nullptr);
        EXPECT_FALSE(LoadPicture(bad, 50, 50, 0, slot));
        EXPECT_EQ(slot, nullptr);
        if (previous)
            EXPECT_EQ(::GetObjectType(previous), 0u);
    }
    EXPECT_FALSE(LoadPicture(picture, 50, 0, 0, slot)) << "half a size is no size";
}

class IconPaintingTest : public ::testing::Test {
protected:
    static constexpr COLORREF kDesktop = RGB(0, 0, 96);
    static constexpr COLORREF kBand = RGB(0, 128, 0);
    static constexpr COLORREF kText = RGB(255, 255, 0);

    void SetUp() override {
        m_icons = std::make_unique<Icons>(m_temp.File("icons.bin"));
        m_icons->m_tabs = {"One", "Two"};
        Add(1, 0, 0, "Notepad", "C:\\windows\\notepad.exe");
        Add(2, 0, 1, "Elsewhere", "C:\\windows\\notepad.exe");
        Add(3, 1, 0, "No icon", "C:\\nowhere\\missing.exe");
        m_font.Reset(
            ::CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    }

    void Add(int column, int row, int tab, const char* caption, const char* iconFile) {
        ProgramEntry e{};
        e.column = column;
        e.row = row;
        e.tab = tab;
        std::strcpy(e.caption, caption);
        std::strcpy(e.iconFile, iconFile);
        m_icons->AddEntry(e);
    }

    // Paints the grid of `tab` on the desktop colour into a fresh 1024 x 768 bitmap.
    void Paint(int tab, int placedLimit) {
        m_bitmap.Reset(::CreateBitmap(1024, 768, 1, 32, nullptr));
        m_dc.Reset(::CreateCompatibleDC(nullptr));
        ::SelectObject(m_dc.Get(), m_bitmap.Get());
        UniqueBrush fill(::CreateSolidBrush(kDesktop));
        RECT all{0, 0, 1024, 768};
        ::FillRect(m_dc.Get(), &all, fill.Get());
        DrawDesktopIcons(m_dc.Get(), m_layout, *m_icons, tab, placedLimit,
                         {m_font.Get(), kDesktop, kBand, kText});
    }

    int CountIn(const GridRect& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += ::GetPixel(m_dc.Get(), x, y) == colour;
        return n;
    }
    bool IconDrawn(int column, int row) const {
        const GridRect r = m_layout.IconRect(column, row);
        return CountIn(r, kDesktop) < r.Width() * r.Height() / 2;
    }

    TempFolder m_temp;
    std::unique_ptr<Icons> m_icons;
    DesktopLayout m_layout = DesktopLayout::Compute(1024, 768, false);
    UniqueFont m_font;
    UniqueBitmap m_bitmap;
    UniqueDc m_dc;
};

TEST_F(IconPaintingTest, DrawsDividersAndTheSelectedTabsIconsOnCaptionBands) {
    Paint(0, -1);
    EXPECT_EQ(::GetPixel(m_dc.Get(), 10, 384), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(m_dc.Get(), 1000, 384), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(m_dc.Get(), 512, 10), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(m_dc.Get(), 600, 10), kDesktop) << "no line right of the middle";

    EXPECT_TRUE(IconDrawn(1, 0));
    EXPECT_FALSE(IconDrawn(2, 0)) << "entries of other tabs are not drawn";
    EXPECT_TRUE(IconDrawn(3, 1));

    const GridRect caption = m_layout.CaptionRect(1, 0);
    EXPECT_GT(CountIn(caption, kBand), 40) << "the caption sits on a band of cveticon";
    EXPECT_GT(CountIn(caption, kText), 10) << "in fontcolor";
    EXPECT_EQ(CountIn(m_layout.CaptionRect(2, 0), kBand), 0);
}

TEST_F(IconPaintingTest, AMissingIconFileShowsTheApplicationIcon) {
    Paint(0, -1);
    UniqueBitmap reference(::CreateBitmap(32, 32, 1, 32, nullptr));
    UniqueDc refDc(::CreateCompatibleDC(nullptr));
    SelectObjectGuard select(refDc.Get(), reference.Get());
    UniqueBrush fill(::CreateSolidBrush(kDesktop));
    RECT all{0, 0, 32, 32};
    ::FillRect(refDc.Get(), &all, fill.Get());
    ::DrawIcon(refDc.Get(), 0, 0, ::LoadIcon(nullptr, IDI_APPLICATION));

    const GridRect icon = m_layout.IconRect(3, 1);
    int differences = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differences += ::GetPixel(m_dc.Get(), icon.left + x, icon.top + y) !=
                           ::GetPixel(refDc.Get(), x, y);
    EXPECT_EQ(differences, 0);
}

TEST_F(IconPaintingTest, NothingFromThePlacedLimitOnAndNothingWithoutATab) {
    Paint(0, 2);
    EXPECT_TRUE(IconDrawn(1, 0));
    EXPECT_FALSE(IconDrawn(3, 1)) << "entry 2 is the first unplaced one";

    Paint(-1, -1);
    EXPECT_FALSE(IconDrawn(1, 0));
    EXPECT_EQ(::GetPixel(m_dc.Get(), 10, 384), RGB(0, 0, 0)) << "the dividers stay";

    m_icons->m_entries[0].column = 40; // a damaged cell is never drawn outside the grid
    m_icons->m_entries[2].row = -3;
    Paint(0, -1);
    EXPECT_FALSE(IconDrawn(3, 1));
}

} // namespace
