// The stored tab order and the button glyph shapes.
#include "controls/tabctrl/button_glyphs.h"
#include "controls/tabctrl/tab_state_codec.h"

#include <gtest/gtest.h>

using namespace tabstate;

TEST(TabStateCodec, LittleEndianCountSelectionIds) {
    EXPECT_EQ((std::vector<std::uint8_t>{3, 0, 0,    0, 1, 0, 0,    0,    0x71, 0,
                                         0, 0, 0x72, 0, 0, 0, 0x00, 0x01, 0,    0}),
              Encode(1, {0x71, 0x72, 0x100}));
    // One tab: no selection is stored.
    EXPECT_EQ((std::vector<std::uint8_t>{1, 0, 0, 0, 9, 0, 0, 0}), Encode(0, {9}));
    EXPECT_EQ(
        (std::vector<std::uint8_t>{2, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 5, 0, 0, 0, 6, 0, 0, 0}),
        Encode(-1, {5, 6}));
}

TEST(TabStateCodec, DecodeRoundTripsAndStopsAtShortData) {
    const auto bytes = Encode(2, {10, 20, 30});
    Decoded d = Decode(bytes);
    EXPECT_TRUE(d.complete);
    EXPECT_TRUE(d.hasSelection);
    EXPECT_EQ(2, d.selectedIndex);
    EXPECT_EQ((std::vector<std::int32_t>{10, 20, 30}), d.paneIds);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const std::vector<std::uint8_t> shortBytes(bytes.begin(),
                                                   bytes.begin() + static_cast<long>(cut));
        Decoded s = Decode(shortBytes);
        EXPECT_FALSE(s.complete) << cut;
        EXPECT_LE(s.paneIds.size(), (cut >= 8 ? cut - 8 : 0) / 4) << cut;
    }
    // A huge count with nothing behind it reads nothing and allocates nothing.
    Decoded huge = Decode({0xff, 0xff, 0xff, 0x7f, 0, 0, 0, 0});
    EXPECT_FALSE(huge.complete);
    EXPECT_TRUE(huge.paneIds.empty());
    EXPECT_FALSE(Decode({0xff, 0xff, 0xff, 0xff}).complete); // negative count
}

TEST(TabStateCodec, ReorderAppliesStoredIdsUntilOneIsMissing) {
    bool all = false;
    EXPECT_EQ((std::vector<int>{2, 0, 1}), ReorderByIds({10, 20, 30}, {30, 10, 20}, all));
    EXPECT_TRUE(all);
    EXPECT_EQ((std::vector<int>{2, 0, 1}), ReorderByIds({10, 20, 30}, {30, 99, 20}, all));
    EXPECT_FALSE(all);
    EXPECT_EQ((std::vector<int>{0, 1}), ReorderByIds({10, 20}, {10, 20, 30}, all));
    EXPECT_FALSE(all);
    // A repeated id cannot take a second place.
    ReorderByIds({10, 20}, {10, 10}, all);
    EXPECT_FALSE(all);
}

TEST(ButtonGlyphs, EveryGlyphIsDistinctAndInsideItsImage) {
    using namespace buttonglyphs;
    const int size = 15;
    std::vector<std::vector<bool>> shapes;
    for (int g = 0; g < kCount; ++g) {
        std::vector<bool> pixels;
        int set = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                pixels.push_back(GlyphPixel(g, size, x, y));
                set += pixels.back();
            }
        }
        EXPECT_GT(set, 4) << g;
        for (const auto& other : shapes)
            EXPECT_NE(other, pixels) << g;
        shapes.push_back(pixels);
    }
    EXPECT_FALSE(GlyphPixel(kClose, size, -1, 7));
    EXPECT_FALSE(GlyphPixel(kClose, size, 7, size));
    EXPECT_FALSE(GlyphPixel(kCount, size, 7, 7));
}
