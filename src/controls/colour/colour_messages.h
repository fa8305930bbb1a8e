#pragma once
// Messages between the colour pop-up, its picker and the picker's parent. wParam is always a
// colour; from the picker to its parent lParam is the picker's control id.

namespace colour {
constexpr unsigned kUserBase = 0x0400; // WM_USER
} // namespace colour

constexpr unsigned PICKER_SELCHANGE = colour::kUserBase + 1001;
constexpr unsigned PICKER_DROPDOWN = colour::kUserBase + 1002;
constexpr unsigned PICKER_CLOSEUP = colour::kUserBase + 1003;
constexpr unsigned PICKER_SELENDOK = colour::kUserBase + 1004;
constexpr unsigned PICKER_SELENDCANCEL = colour::kUserBase + 1005;
