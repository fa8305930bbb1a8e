// Formatting decisions of the description editor: tab-stop walking, the tool bar's state, the
// font dialog's description, and the tool-bar resource.

#include "controls/richedit/text_format.h"
#include "controls/richedit/toolbar_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using namespace richedit;

TEST(RichEditFormat, IndentAndOutdentWalkTheStops) {
    const std::vector<int> stops = StandardTabStops();
    ASSERT_EQ(stops.size(), 32u);
    EXPECT_EQ(stops.back(), 20480);
    struct Case {
        int from;
        std::optional<int> indent;
        int outdent;
    };
    for (const Case c : {Case{0, 640, 0}, Case{700, 1280, 640}, Case{640, 1280, 0},
                         Case{20480, {}, 19840}, Case{30000, {}, 20480}}) {
        EXPECT_EQ(IndentTarget(c.from, stops), c.indent) << c.from;
        EXPECT_EQ(OutdentTarget(c.from, stops), c.outdent) << c.from;
    }
    // List order, not size order, decides.
    EXPECT_EQ(IndentTarget(100, {2000, 1000}), 2000);
    EXPECT_EQ(OutdentTarget(3000, {2000, 1000}), 1000);
}

TEST(RichEditFormat, ParagraphsWithoutStopsUseTheStandardOnes) {
    EXPECT_EQ(EffectiveTabStops({}), StandardTabStops());
    // Alignment bits above the position are not part of it.
    EXPECT_EQ(EffectiveTabStops({0x01000000 | 720, 1440}), (std::vector<int>{720, 1440}));
}

TEST(RichEditFormat, EntriesMatchExactly) {
    const std::vector<std::string> faces{"Arial", "Courier New", "Times New Roman"};
    EXPECT_EQ(FindExactEntry(faces, "Courier New"), 1u);
    EXPECT_EQ(FindExactEntry(faces, "courier new"), std::nullopt);
    EXPECT_EQ(FindExactEntry(faces, "Courier"), std::nullopt);
    EXPECT_EQ(SizeFromText("36"), 36);
    EXPECT_EQ(SizeFromText(" 9"), 9);
    EXPECT_EQ(SizeFromText(""), 0);
    EXPECT_EQ(SizeFromText("big"), 0);
    EXPECT_EQ(SizeFromText("99999999999999"), 0);
    EXPECT_EQ(CutFaceName(std::string(40, 'x')).size(), 31u);
    EXPECT_EQ(CutFaceName("Arial"), "Arial");
}

TEST(RichEditFormat, ToolbarShowsOnlyWhatTheSelectionShares) {
    CharacterSnapshot chars{.bold = true, .italic = std::nullopt, .underline = false};
    chars.face = "Arial";
    chars.sizeTwips = 280;
    chars.colour = 0x0000FF;
    ToolbarState state = DecideToolbarState(chars, {Alignment::Centre, true});
    EXPECT_TRUE(state.bold);
    EXPECT_FALSE(state.italic) << "mixed shows unchecked";
    EXPECT_TRUE(!state.left && state.centre && !state.right && state.bullets);
    EXPECT_EQ(state.face, "Arial");
    EXPECT_EQ(state.sizeEntry, "14");
    EXPECT_EQ(state.colour, 0x0000FFu);

    // Half points and mixed attributes select nothing.
    state = DecideToolbarState({.sizeTwips = 210}, {Alignment::Other, false});
    EXPECT_EQ(state.sizeEntry, std::nullopt);
    EXPECT_EQ(state.face, std::nullopt);
    EXPECT_EQ(state.colour, std::nullopt);
    EXPECT_FALSE(state.left || state.centre || state.right);
}

TEST(RichEditFormat, FontDialogDescriptionAndAnswer) {
    CharacterSnapshot chars;
    chars.face = "Arial";
    chars.sizeTwips = 200;
    chars.bold = false;
    chars.italic = true;
    FontRequest request = FontRequestFor(chars, 96);
    EXPECT_EQ(request.face, "Arial");
    EXPECT_EQ(request.height, -13); // 10 pt at 96 dpi is 13.33 pixels
    EXPECT_EQ(request.weight, 400);
    EXPECT_TRUE(request.italic);
    EXPECT_FALSE(request.underline);
    request = FontRequestFor({.bold = true}, 120);
    EXPECT_EQ(request.face, "");
    EXPECT_EQ(request.height, 0);
    EXPECT_EQ(request.weight, 700);

    CharacterChange change = ChangeForFontChoice({"Courier New", 105, 700, false, true});
    EXPECT_EQ(change.face, "Courier New");
    EXPECT_EQ(change.sizeTwips, 210);
    EXPECT_TRUE(change.bold);
    EXPECT_FALSE(change.italic);
    EXPECT_TRUE(change.underline);
    // Only exactly 700 is bold; an empty answer changes neither face nor size.
    change = ChangeForFontChoice({"", 0, 800, false, false});
    EXPECT_FALSE(change.bold);
    EXPECT_EQ(change.face, std::nullopt);
    EXPECT_EQ(change.sizeTwips, std::nullopt);
}

std::vector<std::uint8_t> Words(std::initializer_list<int> words) {
    std::vector<std::uint8_t> bytes;
    for (int w : words) {
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return bytes;
}

TEST(RichEditToolbarResource, ItemsComeFromTheResource) {
    const auto bytes =
        Words({1, 16, 15, 19, 20, 0, 0, 0, 0, 0, 0, 0, 22, 23, 24, 0, 25, 26, 27, 0, 28, 29, 30});
    const auto resource = ParseToolbarResource(bytes.data(), bytes.size());
    ASSERT_TRUE(resource);
    EXPECT_EQ(resource->imageWidth, 16);
    EXPECT_EQ(resource->imageHeight, 15);
    const std::vector<ToolbarItem> items = ToolbarItems(*resource);
    ASSERT_EQ(items.size(), 19u);
    EXPECT_EQ(items[0], (ToolbarItem{20, 0, 0}));
    EXPECT_EQ(items[2], (ToolbarItem{0, -1, 128}));
    EXPECT_EQ(items[4], (ToolbarItem{0, -1, 48}));
    EXPECT_EQ(items[6], (ToolbarItem{0, -1, 64}));
    EXPECT_EQ(items[7], (ToolbarItem{0, -1, 0}));
    EXPECT_EQ(items[8], (ToolbarItem{22, 1, 0}));
    EXPECT_EQ(items[18], (ToolbarItem{30, 9, 0}));
    EXPECT_EQ(CarrierIndex(kCmdFontNameCombo), 2);
    EXPECT_EQ(CarrierIndex(kCmdColourButton), 6);
    EXPECT_EQ(CarrierIndex(kCmdBold), -1);
}

TEST(RichEditToolbarResource, DamagedResourcesAreRefused) {
    const auto good = Words({1, 16, 15, 2, 20, 22});
    EXPECT_TRUE(ParseToolbarResource(good.data(), good.size()));
    EXPECT_FALSE(ParseToolbarResource(good.data(), good.size() - 1)) << "cut short";
    EXPECT_FALSE(ParseToolbarResource(good.data(), 7)) << "no header";
    EXPECT_FALSE(ParseToolbarResource(nullptr, 0));
    const auto version = Words({2, 16, 15, 2, 20, 22});
    EXPECT_FALSE(ParseToolbarResource(version.data(), version.size()));
    const auto overlong = Words({1, 16, 15, 0xFFFF, 20});
    EXPECT_FALSE(ParseToolbarResource(overlong.data(), overlong.size()));
}

} // namespace
