#include "controls/richedit/text_format.h"

#include <charconv>

namespace richedit {

std::vector<int> StandardTabStops() {
    std::vector<int> stops(kTabStopCount);
    for (int i = 0; i < kTabStopCount; ++i)
        stops[i] = (i + 1) * kTabStopSpacingTwips;
    return stops;
}

std::vector<int> EffectiveTabStops(const std::vector<int>& paragraphStopsTwips) {
    if (paragraphStopsTwips.empty())
        return StandardTabStops();
    std::vector<int> stops;
    stops.reserve(paragraphStopsTwips.size());
    for (int stop : paragraphStopsTwips)
        stops.push_back(stop & 0x00FFFFFF);
    return stops;
}

std::optional<int> IndentTarget(int startIndent, const std::vector<int>& stops) {
    for (int stop : stops)
        if (stop > startIndent)
            return stop;
    return std::nullopt;
}

int OutdentTarget(int startIndent, const std::vector<int>& stops) {
    int target = 0;
    for (int stop : stops)
        if (stop < startIndent)
            target = stop;
    return target;
}

const std::array<const char*, 16>& FontSizeEntries() {
    static const std::array<const char*, 16> entries = {"8",  "9",  "10", "11", "12", "14",
                                                        "16", "18", "20", "22", "24", "26",
                                                        "28", "36", "48", "72"};
    return entries;
}

int SizeFromText(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

std::optional<std::size_t> FindExactEntry(const std::vector<std::string>& entries,
                                          std::string_view text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text)
            return i;
    return std::nullopt;
}

std::string CutFaceName(std::string_view face) {
    return std::string(face.substr(0, kMaxFaceNameLength));
}

ToolbarState DecideToolbarState(const CharacterSnapshot& chars, const ParagraphSnapshot& para) {
    ToolbarState state;
    state.bold = chars.bold.value_or(false);
    state.italic = chars.italic.value_or(false);
    state.underline = chars.underline.value_or(false);
    state.left = para.alignment == Alignment::Left;
    state.centre = para.alignment == Alignment::Centre;
    state.right = para.alignment == Alignment::Right;
    state.bullets = para.numbered;
    state.face = chars.face;
    // Only whole points can match an entry; 10.5 points selects nothing.
    if (chars.sizeTwips && *chars.sizeTwips % kTwipsPerPoint == 0)
        state.sizeEntry = std::to_string(*chars.sizeTwips / kTwipsPerPoint);
    state.colour = chars.colour;
    return state;
}

FontRequest FontRequestFor(const CharacterSnapshot& chars, int pixelsPerInch) {
    FontRequest request;
    if (chars.face)
        request.face = *chars.face;
    if (chars.sizeTwips) {
        const long long scaled = static_cast<long long>(*chars.sizeTwips) * pixelsPerInch;
        request.height = -static_cast<int>((scaled + 720) / 1440);
    }
    if (chars.bold)
        request.weight = *chars.bold ? 700 : 400;
    request.italic = chars.italic.value_or(false);
    request.underline = chars.underline.value_or(false);
    return request;
}

CharacterChange ChangeForFontChoice(const FontChoice& choice) {
    CharacterChange change;
    if (!choice.face.empty())
        change.face = CutFaceName(choice.face);
    // Tenths of a point, so 10.5 points stays 210 twips.
    if (choice.pointSizeTenths > 0)
        change.sizeTwips = choice.pointSizeTenths * kTwipsPerPoint / 10;
    change.bold = choice.weight == 700;
    change.italic = choice.italic;
    change.underline = choice.underline;
    return change;
}

} // namespace richedit
