// Shows three tab strips in the desktop's style (tabs on top with a hot tab, a scrolling strip
// with all buttons, tabs at the bottom) for a while, so they can be looked at.
// Usage: tabctrl_gallery [milliseconds]
#include "controls/tabctrl/tab_button_images.h"
#include "controls/tabctrl/tab_ctrl_ex.h"
#include "controls/tabctrl/tab_ctrl_style_vs2010.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Strip = TabCtrlEx<TabCtrlStyle_VS2010_client>;

HWND Pane(HWND parent, const char* text, int id) {
    return ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 10, 10,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                             nullptr);
}

std::unique_ptr<Strip> MakeStrip(HWND parent, const RECT& rect,
                                 const std::vector<const char*>& captions) {
    auto strip = std::make_unique<Strip>();
    if (!strip->Create(parent, WS_CHILD | WS_VISIBLE, rect, 113))
        return nullptr;
    int id = 200;
    for (const char* caption : captions)
        strip->Add(Pane(strip->Hwnd(), caption, id++), caption, -1);
    return strip;
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const UINT showFor = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 4000;

    HWND top = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640,
                                 420, nullptr, nullptr, nullptr, nullptr);

    auto first =
        MakeStrip(top, {10, 10, 630, 140}, {"Games", "Office", "Internet", "Multimedia", "Tools"});
    auto second =
        MakeStrip(top, {10, 150, 330, 280},
                  {"Games", "Office", "Internet and e-mail", "Multimedia", "Tools", "Printing"});
    auto third = MakeStrip(top, {340, 150, 630, 280},
                           {"A rather long caption that cannot fit", "Short", "Another long one"});
    auto fourth = MakeStrip(top, {10, 290, 630, 410}, {"Games", "Office", "Internet"});
    if (!first || !second || !third || !fourth)
        return 1;

    first->SetSel(first->GetTab(1));
    first->Update();
    const RECT hot = first->GetTab(3)->rect;
    ::SendMessageA(first->Hwnd(), WM_MOUSEMOVE, 0,
                   MAKELPARAM((hot.left + hot.right) / 2, (hot.top + hot.bottom) / 2));

    HBITMAP glyphs = CreateTabButtonImages(14);
    second->SetSystemImageList(glyphs);
    second->SetBehavior(TabCtrl::BehaviorScroll);
    second->Update();
    second->SetSel(second->GetTab(2));
    second->Update();
    const RECT close = second->GetButtonCloseRect();
    ::SendMessageA(second->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(close.left + 2, close.top + 2));

    third->SetTabDisabled(third->GetTab(2), true);
    third->Update();

    fourth->SetLayout(TabCtrl::LayoutBottom);
    fourth->SetSel(fourth->GetTab(0));
    fourth->Update();

    const DWORD until = ::GetTickCount() + showFor;
    while (static_cast<LONG>(::GetTickCount() - until) < 0) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    }
    first.reset();
    second.reset();
    third.reset();
    fourth.reset();
    ::DeleteObject(glyphs);
    ::DestroyWindow(top);
    return 0;
}
