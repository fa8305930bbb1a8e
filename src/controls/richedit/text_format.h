#pragma once
// Formatting decisions of the description editor, free of the window system: the standard tab
// stops and how indent and outdent walk them, the font sizes offered, what the tool bar shows
// for a selection, and how the font dialog's description is made and read back.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace richedit {

constexpr int kTabStopCount = 32;
constexpr int kTabStopSpacingTwips = 640;
constexpr int kTwipsPerPoint = 20;
// Longest face name a character format holds (its field keeps one byte for the end).
constexpr std::size_t kMaxFaceNameLength = 31;
// The colour picker's "Automatic" (CLR_DEFAULT).
constexpr std::uint32_t kAutomaticColour = 0xFF000000;

// 640, 1280, ..., 20480 twips.
std::vector<int> StandardTabStops();

// The tab stops a paragraph works with: its own, or the standard ones when it has none
// (text loaded from elsewhere often carries no stops). Alignment bits above the position
// are dropped.
std::vector<int> EffectiveTabStops(const std::vector<int>& paragraphStopsTwips);

// The first stop, in list order, beyond `startIndent`; nothing when there is none.
std::optional<int> IndentTarget(int startIndent, const std::vector<int>& stops);
// The last stop, in list order, before `startIndent`; 0 when there is none.
int OutdentTarget(int startIndent, const std::vector<int>& stops);

// The size list, in the order shown.
const std::array<const char*, 16>& FontSizeEntries();
// The integer a size entry's text stands for (0 when it is no number).
int SizeFromText(std::string_view text);
// The index of the entry exactly equal to `text` (case matters), nothing when absent.
std::optional<std::size_t> FindExactEntry(const std::vector<std::string>& entries,
                                          std::string_view text);
// A face name as a character format can hold it.
std::string CutFaceName(std::string_view face);

enum class Alignment { Left, Centre, Right, Other };

// What the selection has in common; nothing where it is mixed.
struct CharacterSnapshot {
    std::optional<bool> bold, italic, underline;
    std::optional<std::string> face;
    std::optional<int> sizeTwips;
    std::optional<std::uint32_t> colour; // kAutomaticColour for the automatic text colour
};

struct ParagraphSnapshot {
    Alignment alignment = Alignment::Left;
    bool numbered = false;
};

struct ToolbarState {
    bool bold = false, italic = false, underline = false;
    bool left = false, centre = false, right = false;
    bool bullets = false;
    std::optional<std::string> face;      // entry to select in the font-name list
    std::optional<std::string> sizeEntry; // text of the size entry to select
    std::optional<std::uint32_t> colour;  // colour for the colour button
};

// A mixed attribute shows unchecked; the combos follow only what the selection shares.
ToolbarState DecideToolbarState(const CharacterSnapshot& chars, const ParagraphSnapshot& para);

// The font dialog's starting description.
struct FontRequest {
    std::string face; // empty when mixed
    int height = 0;   // negative character height in pixels; 0 when mixed
    int weight = 0;   // 700 bold, 400 normal, 0 when mixed
    bool italic = false;
    bool underline = false;
};
FontRequest FontRequestFor(const CharacterSnapshot& chars, int pixelsPerInch);

// What the font dialog answered.
struct FontChoice {
    std::string face;
    int pointSizeTenths = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
};

// Changes to apply to the selection; attributes are only ever switched on.
struct CharacterChange {
    std::optional<std::string> face;
    std::optional<int> sizeTwips;
    bool bold = false, italic = false, underline = false;
};
CharacterChange ChangeForFontChoice(const FontChoice& choice);

} // namespace richedit
