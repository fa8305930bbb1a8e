#pragma once
// A tab strip in a hidden pop-up parent with static panes, a notification recorder and
// helpers to drive the strip with mouse messages and read its painting.

#include "controls/tabctrl/tab_ctrl_ex.h"
#include "controls/tabctrl/tab_ctrl_style_vs2010.h"
#include "framework/dc.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tabtest {

using StripCtrl = TabCtrlEx<TabCtrlStyle_VS2010_client>;

// Records every notification as one line: "Name tab-index args".
class RecordingNotify : public TabCtrlNotify {
public:
    std::vector<std::string> log;
    std::function<void(const std::string&)> onEvent; // runs after recording

    void OnTabPreCreate(TabCtrl*, HWND, const char* text, int image) override {
        Add("PreCreate " + std::string(text ? text : "<null>") + " " + std::to_string(image));
    }
    void OnTabPostCreate(TabCtrl* c, TabItem* t) override { Add("PostCreate " + Tab(c, t)); }
    void OnTabPreDestroy(TabCtrl* c, TabItem* t) override {
        Add("PreDestroy " + t->text + " " + std::to_string(c->GetIndex(t)));
    }
    void OnCloseButtonClicked(TabCtrl*, const RECT&, POINT) override { Add("Close"); }
    void OnMenuButtonClicked(TabCtrl*, const RECT&, POINT) override { Add("Menu"); }
    void OnTabSelected(TabCtrl* c, TabItem* t) override { Add("Selected " + Tab(c, t)); }
    void OnLButtonDown(TabCtrl* c, TabItem* t, POINT p) override { Mouse("LDown", c, t, p); }
    void OnLButtonDblClk(TabCtrl* c, TabItem* t, POINT p) override { Mouse("LDbl", c, t, p); }
    void OnRButtonDown(TabCtrl* c, TabItem* t, POINT p) override { Mouse("RDown", c, t, p); }
    void OnRButtonUp(TabCtrl* c, TabItem* t, POINT p) override { Mouse("RUp", c, t, p); }
    void OnStartDrag(TabCtrl* c, TabItem* t, POINT p) override { Mouse("StartDrag", c, t, p); }
    void OnDrag(TabCtrl* c, TabItem* t, POINT p, bool outside) override {
        Add("Drag " + t->text + Pt(c, p) + (outside ? " outside" : " inside"));
    }
    void OnFinishDrag(TabCtrl*, TabItem* t, bool cancel) override {
        Add("FinishDrag " + t->text + (cancel ? " cancel" : " keep"));
    }

private:
    void Add(const std::string& line) {
        log.push_back(line);
        if (onEvent)
            onEvent(line);
    }
    void Mouse(const char* name, TabCtrl* c, TabItem* t, POINT p) {
        Add(name + (" " + Tab(c, t)) + Pt(c, p));
    }
    static std::string Tab(TabCtrl* c, TabItem* t) {
        return t ? t->text + "#" + std::to_string(c->GetIndex(t)) : "none";
    }
    // Points arrive in screen coordinates; logged in client coordinates.
    static std::string Pt(TabCtrl* c, POINT p) {
        ::ScreenToClient(c->Hwnd(), &p);
        return " @" + std::to_string(p.x) + "," + std::to_string(p.y);
    }
};

class Host {
public:
    explicit Host(int width = 400, int height = 200, bool visible = false) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "TabTestHost";
            ::RegisterClassA(&wc);
            registered = true;
        }
        parent = ::CreateWindowExA(WS_EX_TOOLWINDOW, "TabTestHost", "", WS_POPUP, 0, 0, width,
                                   height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (visible)
            ::ShowWindow(parent, SW_SHOWNOACTIVATE);
        ctrl = std::make_unique<StripCtrl>();
    }
    ~Host() {
        // A recorder declared after the host, or in a derived fixture, is gone by now.
        if (ctrl)
            ctrl->SetNotifyManager(nullptr);
        ctrl.reset();
        ::DestroyWindow(parent);
    }

    bool Create() {
        RECT rc{};
        ::GetClientRect(parent, &rc);
        return ctrl->Create(parent, WS_CHILD | WS_VISIBLE, rc, 113);
    }

    // A static pane, a child of the control, with the control id `id`.
    HWND MakePane(int id) {
        return ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, ctrl->Hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    }

    TabItem* AddTab(const char* text, int id = 0) {
        return ctrl->Add(MakePane(id ? id : 1000 + ctrl->GetCount()), text, -1);
    }

    void Send(UINT message, int x, int y, WPARAM keys = 0) {
        ::SendMessageA(ctrl->Hwnd(), message, keys, MAKELPARAM(x, y));
    }
    void Move(int x, int y, WPARAM keys = 0) { Send(WM_MOUSEMOVE, x, y, keys); }
    void Move(POINT p) { Move(p.x, p.y); }
    // Moves to the point and presses the left button there.
    void Press(int x, int y) {
        Move(x, y);
        Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    }
    void Click(int x, int y) {
        Press(x, y);
        Send(WM_LBUTTONUP, x, y);
    }
    void Click(POINT p) { Click(p.x, p.y); }
    // Presses on the point and drags `dx` pixels to the right (a drag once beyond 2 pixels).
    void PressAndMove(POINT p, int dx) {
        Press(p.x, p.y);
        Move(p.x + dx, p.y, MK_LBUTTON);
    }
    POINT Centre(TabItem* tab) const {
        const RECT r = ctrl->GetTabRect(tab);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::string Order() const {
        std::string order;
        for (int i = 0; i < ctrl->GetCount(); ++i)
            order += (i ? "," : "") + ctrl->GetTab(i)->text;
        return order;
    }

    HWND parent = nullptr;
    std::unique_ptr<StripCtrl> ctrl;
};

// The control painted into a 24-bit memory bitmap of its client size.
class Picture {
public:
    explicit Picture(TabCtrl& ctrl) {
        RECT rc{};
        ::GetClientRect(ctrl.Hwnd(), &rc);
        width = rc.right;
        height = rc.bottom;
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ::ReleaseDC(nullptr, screen);
        m_old = ::SelectObject(m_dc, m_bitmap);
        ctrl.DrawTo(m_dc);
        ::GdiFlush();
    }
    ~Picture() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    COLORREF At(int x, int y) const { return ::GetPixel(m_dc, x, y); }
    HDC Dc() const { return m_dc; }
    // Whether any pixel of the rectangle has the colour.
    bool Contains(const RECT& r, COLORREF colour) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == colour)
                    return true;
        return false;
    }

    int width = 0;
    int height = 0;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The point `d` pixels inside the rectangle's top-left corner.
inline POINT Inside(const RECT& r, int d) {
    return {r.left + d, r.top + d};
}

inline std::string Rgb(COLORREF c) {
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
           std::to_string(GetBValue(c));
}

// A pane's window rectangle in the control's client coordinates.
inline RECT PaneRect(TabCtrl& ctrl, HWND pane) {
    RECT r{};
    ::GetWindowRect(pane, &r);
    ::MapWindowPoints(nullptr, ctrl.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace tabtest
