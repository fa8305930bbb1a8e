#include "controls/richedit/rich_edit_format.h"

#include "base/text.h"

#include <algorithm>

namespace richedit {

namespace {
std::optional<bool> Effect(const CHARFORMATA& format, DWORD mask, DWORD effect) {
    if (!(format.dwMask & mask))
        return std::nullopt;
    return (format.dwEffects & effect) != 0;
}
} // namespace

CharacterSnapshot SnapshotOf(const CHARFORMATA& format) {
    CharacterSnapshot snapshot;
    snapshot.bold = Effect(format, CFM_BOLD, CFE_BOLD);
    snapshot.italic = Effect(format, CFM_ITALIC, CFE_ITALIC);
    snapshot.underline = Effect(format, CFM_UNDERLINE, CFE_UNDERLINE);
    if (format.dwMask & CFM_FACE)
        snapshot.face = std::string(FieldText(format.szFaceName));
    if (format.dwMask & CFM_SIZE)
        snapshot.sizeTwips = static_cast<int>(format.yHeight);
    if (format.dwMask & CFM_COLOR)
        snapshot.colour =
            (format.dwEffects & CFE_AUTOCOLOR) ? kAutomaticColour : format.crTextColor;
    return snapshot;
}

ParagraphSnapshot SnapshotOf(const PARAFORMAT& format) {
    ParagraphSnapshot snapshot;
    if (!(format.dwMask & PFM_ALIGNMENT))
        snapshot.alignment = Alignment::Other;
    else if (format.wAlignment == PFA_CENTER)
        snapshot.alignment = Alignment::Centre;
    else if (format.wAlignment == PFA_RIGHT)
        snapshot.alignment = Alignment::Right;
    else if (format.wAlignment == PFA_LEFT)
        snapshot.alignment = Alignment::Left;
    else
        snapshot.alignment = Alignment::Other;
    snapshot.numbered = (format.dwMask & PFM_NUMBERING) && format.wNumbering != 0;
    return snapshot;
}

std::vector<int> TabStopsOf(const PARAFORMAT& format) {
    const int count = std::clamp<int>(format.cTabCount, 0, MAX_TAB_STOPS);
    return std::vector<int>(format.rgxTabs, format.rgxTabs + count);
}

void SetTabStops(PARAFORMAT& format, const std::vector<int>& stopsTwips) {
    const std::size_t count = std::min<std::size_t>(stopsTwips.size(), MAX_TAB_STOPS);
    format.dwMask |= PFM_TABSTOPS;
    format.cTabCount = static_cast<SHORT>(count);
    std::fill(std::begin(format.rgxTabs), std::end(format.rgxTabs), 0);
    std::copy_n(stopsTwips.begin(), count, format.rgxTabs);
}

CHARFORMATA FormatForChange(const CharacterChange& change) {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    if (change.face) {
        format.dwMask |= CFM_FACE;
        CopyText(format.szFaceName, *change.face);
    }
    if (change.sizeTwips) {
        format.dwMask |= CFM_SIZE;
        format.yHeight = *change.sizeTwips;
    }
    if (change.bold) {
        format.dwMask |= CFM_BOLD;
        format.dwEffects |= CFE_BOLD;
    }
    if (change.italic) {
        format.dwMask |= CFM_ITALIC;
        format.dwEffects |= CFE_ITALIC;
    }
    if (change.underline) {
        format.dwMask |= CFM_UNDERLINE;
        format.dwEffects |= CFE_UNDERLINE;
    }
    return format;
}

} // namespace richedit
