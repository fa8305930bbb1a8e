#pragma once
// Reading and writing the rich edit's character and paragraph formats in the terms of
// text_format.h.

#include "controls/richedit/text_format.h"

#include <windows.h>
#include <richedit.h>

#include <vector>

namespace richedit {

CharacterSnapshot SnapshotOf(const CHARFORMATA& format);
ParagraphSnapshot SnapshotOf(const PARAFORMAT& format);

// The paragraph's own tab stops in twips, as many as it has.
std::vector<int> TabStopsOf(const PARAFORMAT& format);
// Fills the tab-stop fields of `format` (at most 32 stops) and adds them to its mask.
void SetTabStops(PARAFORMAT& format, const std::vector<int>& stopsTwips);

// A character format that switches on what `change` names and nothing else.
CHARFORMATA FormatForChange(const CharacterChange& change);

} // namespace richedit
