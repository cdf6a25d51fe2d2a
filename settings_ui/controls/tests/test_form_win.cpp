#include "test_form_win.h"

namespace velumira::test {

namespace {
const char kFormClass[] = "VelumiraControlsTestForm";
// Tearing a top-level window down costs Wine two seconds, so the tests share
// one form and only its controls are made anew for each test.
HWND g_shared = nullptr;
} // namespace

TestForm::TestForm(int width, int height) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    RegisterControlClasses(inst);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(kFormGrey);
    wc.lpszClassName = kFormClass;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, kFormClass, "controls test",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 40, 40, width,
                            height, nullptr, nullptr, inst, this);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    Pump();
}

TestForm::~TestForm() {
    if (hwnd_ && IsWindow(hwnd_)) {
        while (HWND child = GetWindow(hwnd_, GW_CHILD))
            DestroyWindow(child);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        SetFocus(hwnd_);
    }
    Pump();
}

int TestForm::count(const std::string& what) const {
    int n = 0;
    for (const Event& e : events)
        n += e.what == what;
    return n;
}

void TestForm::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK TestForm::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(
            wnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<TestForm*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && msg == WM_COMMAND) {
        Event e;
        e.id = LOWORD(wp);
        e.what = HIWORD(wp) == XPBN_CLICK ? "click" : HIWORD(wp) == XPBN_DBLCLK ? "dblclk" : "?";
        self->events.push_back(e);
        if (e.what == "click" && e.id == self->destroyOnClickOf) DestroyWindow(wnd);
        return 0;
    }
    if (self && msg == WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
        Event e;
        e.id = int(h->idFrom);
        if (h->code == XPBN_MOUSEMOVE) {
            auto* m = reinterpret_cast<const NMXPMOUSEMOVE*>(lp);
            e.what = "move";
            e.value = m->button;
            e.x = m->x;
            e.y = m->y;
        } else if (h->code == XPBN_FORMACTIVATE) {
            e.what = "activate";
            e.value = reinterpret_cast<const NMXPFORMACTIVATE*>(lp)->state;
        }
        self->events.push_back(e);
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        if (self) self->hwnd_ = nullptr;
        if (wnd == g_shared) g_shared = nullptr;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

} // namespace velumira::test
