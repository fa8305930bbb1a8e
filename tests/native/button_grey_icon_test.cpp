// The grey copy of a button icon and the placement of icon and caption.

#include "controls/button/button_layout.h"
#include "controls/button/grey_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace xbutton;

namespace {

TEST(ButtonGreyIcon, PixelTransform) {
    const struct {
        const char* what;
        std::uint32_t in, out;
    } cases[] = {
        {"opaque white becomes 254", 0xFFFFFFFF, 0xFFFEFEFE},
        {"white without alpha becomes 254 too", 0x00FFFFFF, 0x00FEFEFE},
        {"fully transparent black is kept", 0x00000000, 0x00000000},
        {"nearly black, transparent: mean 0, kept as it is", 0x00000101, 0x00000101},
        {"dark, transparent: mean 1 is greyed", 0x00000102, 0x00010101},
        {"opaque black stays black", 0xFF000000, 0xFF000000},
        {"half-transparent black keeps its alpha", 0x80000000, 0x80000000},
        {"opaque red: mean 85", 0xFFFF0000, 0xFF555555},
        {"opaque green: mean 85", 0xFF00FF00, 0xFF555555},
        {"blue without alpha: mean 85, alpha stays 0", 0x000000FF, 0x00555555},
        {"mean is rounded down", 0xFF010102, 0xFF010101},
        {"grey stays grey", 0xC8646464, 0xC8646464},
        {"almost white: 254", 0xFFFEFEFE, 0xFFFEFEFE},
        {"mixed", 0xFF102030, 0xFF202020},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GreyPixel(c.in), c.out) << c.what;
}

TEST(ButtonGreyIcon, WholeBitmapInPlace) {
    std::vector<std::uint32_t> pixels = {0xFFFFFFFF, 0x00000000, 0xFFFF0000, 0x7F00FF00};
    GreyPixels(pixels);
    EXPECT_EQ(pixels, (std::vector<std::uint32_t>{0xFFFEFEFE, 0x00000000, 0xFF555555, 0x7F555555}));
}

TEST(ButtonLayout, IconOnlyIsCentred) {
    const struct {
        Area item;
        bool pressed;
        int left, top;
    } cases[] = {
        {{0, 0, 40, 40}, false, 4, 4},
        {{0, 0, 41, 38}, false, 4, 3},
        {{0, 0, 40, 40}, true, 5, 5},
        {{10, 20, 60, 70}, false, 19, 29},
    };
    for (const auto& c : cases) {
        const ContentLayout layout = LayoutContent(c.item, 32, 32, false, 0, c.pressed);
        EXPECT_EQ(layout.iconLeft, c.left);
        EXPECT_EQ(layout.iconTop, c.top);
        EXPECT_EQ(layout.captionArea, c.item);
    }
}

TEST(ButtonLayout, IconBesideTheCaption) {
    const Area item{0, 0, 200, 40};
    const ContentLayout left = LayoutContent(item, 32, 32, true, 0, false);
    EXPECT_EQ(left.iconLeft, 16);
    EXPECT_EQ(left.iconTop, 4);
    EXPECT_EQ(left.captionArea, (Area{64, 0, 184, 40}));

    const ContentLayout right = LayoutContent(item, 32, 32, true, kIconRight, false);
    EXPECT_EQ(right.iconLeft, 152);
    EXPECT_EQ(right.captionArea, (Area{16, 0, 152, 40}));

    const ContentLayout none = LayoutContent(item, 0, 0, true, 0, false);
    EXPECT_EQ(none.captionArea, item);
}

TEST(ButtonLayout, CaptionCentredInItsArea) {
    EXPECT_EQ(CentreIn({64, 0, 184, 40}, 50, 14), (Area{99, 13, 149, 27}));
    EXPECT_EQ(CentreIn({0, 0, 10, 10}, 20, 4), (Area{-5, 3, 15, 7}));
}

} // namespace
