// Shows the description editor with tool bar, ruler and some formatted text for a while, so it
// can be looked at (screenshots).
// Usage: richedit_gallery [milliseconds] [plain|hidden-ruler|hidden-both|wrap|drag]
#include "controls/richedit/ruler_rich_edit_ctrl.h"
#include "framework/window.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

const char* const kSample =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 DejaVu Sans;}{\\f2 Courier New;}}"
    "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green0\\blue160;}"
    "\\pard\\tx640\\tx1280\\tx1920\\tx2560\\tx3200\\tx3840\\tx4480\\tx5120\\f1\\fs28\\b "
    "Korvane Shell\\b0\\par"
    "\\pard\\f0\\fs20 A description with \\b bold\\b0 , \\i italic\\i0 , \\ul underlined\\ul0  "
    "and \\cf1 red\\cf0  text, in \\f2 Courier\\f0  too.\\par"
    "\\pard\\qc\\fs24\\cf2 Centred and blue\\cf0\\par"
    "\\pard\\qr Right aligned\\par"
    "\\pard\\li1280\\fs20 Indented by two tab stops, long enough to wrap onto a second line when "
    "the window is narrow enough for that to happen at all.\\par"
    "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'b7}}"
    "\\fi-360\\li360 A bulleted line\\par}";

class Host : public Window {
public:
    Host() {
        RegisterClass("KorvaneRichEditGallery", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateEx(0, "KorvaneRichEditGallery", "Description editor",
                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {20, 20, 660, 420}, nullptr, nullptr);
    }
};

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const UINT showFor = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 5000;
    const std::string variant = argc > 2 ? argv[2] : "";

    Host host;
    CRulerRichEditCtrl editor;
    RECT client;
    ::GetClientRect(host.Hwnd(), &client);
    // "wrap": lines wrap at the edge, and the last paragraph is indented with the command.
    const bool wrap = variant == "wrap";
    if (!editor.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, client, host.Hwnd(), 1023, !wrap))
        return 1;
    if (variant == "hidden-ruler")
        editor.ShowRuler(false);
    if (variant == "hidden-both") {
        editor.ShowRuler(false);
        editor.ShowToolbar(false);
    }
    if (variant != "plain")
        editor.SetRTF(kSample);
    if (variant == "drag") {
        // Grabs the third tab stop and holds it 30 pixels further right.
        HWND ruler = editor.GetRuler().Hwnd();
        const int x = editor.Margin() + editor.TabStops()[2];
        // Painted first, and the real pointer where the drag goes: the line is drawn with XOR.
        ::UpdateWindow(host.Hwnd());
        POINT target{x + 30, 18};
        ::ClientToScreen(ruler, &target);
        ::SetCursorPos(target.x, target.y);
        ::SendMessageA(ruler, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 18));
        ::SendMessageA(ruler, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 30, 18));
    }
    if (wrap) {
        ::SendMessageA(editor.GetRichEditCtrl().Hwnd(), EM_SETSEL, 0, 0);
        editor.IndentParagraph();
    }
    ::SetFocus(editor.Hwnd());

    ::SetTimer(nullptr, 0, showFor, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
