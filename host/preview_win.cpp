#include "preview_win.h"

#include "preview_cloth_win.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

namespace velumira {

namespace {

constexpr char kAppClass[] = "Velumira_App";
constexpr char kAppTitle[] = "Velumira";
constexpr char kPreviewClass[] = "Velumira_R";
constexpr char kPreviewCaption[] = "Preview Window";
constexpr char kImageClass[] = "Velumira_Image";

constexpr UINT_PTR kParentCheckTimer = 1;
constexpr UINT kParentCheckPeriodMs = 1000;

HWND g_app = nullptr;
HWND g_parent = nullptr;
HBITMAP g_picture = nullptr;

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Sizes the preview window and what it shows to the preview area. Windows
// gives a process the DPI awareness of another program's window it becomes a
// child of, so the area is measured only once the window is its child, in
// the pixels that hold from then on; and again later, should the area change
// with the scale of its monitor.
void FillArea(HWND preview, HWND parent) {
    RECT area = {}, now = {};
    GetWindowRect(parent, &area);
    GetClientRect(preview, &now);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (now.right == width && now.bottom == height) return;
    MoveWindow(preview, 0, 0, width, height, TRUE);
    if (HWND content = GetWindow(preview, GW_CHILD)) MoveWindow(content, 0, 0, width, height, TRUE);
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kParentCheckTimer) {
        // A preview area that is no window at all (handle 0, or one already
        // gone) would otherwise keep an invisible host alive for good.
        if (!IsWindow(g_parent))
            DestroyWindow(hwnd);
        else
            FillArea(hwnd, g_parent);
        return 0;
    }
    if (msg == WM_DESTROY) {
        // The owner survives the re-parenting on some systems and not on
        // others; the application window is the same window either way.
        HWND owner = GetWindow(hwnd, GW_OWNER);
        PostMessageA(owner ? owner : g_app, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Img_Prev: the picture scaled to the control.
LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        BITMAP bm = {};
        if (g_picture && GetObjectA(g_picture, sizeof bm, &bm)) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, g_picture);
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        } else {
            FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Register(const char* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

} // namespace

HBITMAP LoadPreviewPicture() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(kPreviewPictureId), MAKEINTRESOURCEA(10));
    if (!res) return nullptr;
    const DWORD size = SizeofResource(module, res);
    const void* data = LockResource(LoadResource(module, res));
    if (!data || size == 0) return nullptr;

    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    std::memcpy(GlobalLock(copy), data, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HBITMAP result = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, LONG(size), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        short type = PICTYPE_UNINITIALIZED;
        if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture->get_Handle(&handle)))
            // A copy of our own, so the picture object can go.
            result = HBITMAP(CopyImage(HBITMAP(UINT_PTR(handle)), IMAGE_BITMAP, 0, 0, 0));
        picture->Release();
    }
    stream->Release();
    return result;
}

HWND ShowPreviewWindow(HWND parent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Register(kAppClass, AppProc, nullptr);
    Register(kPreviewClass, PreviewProc, HBRUSH(GetStockObject(BLACK_BRUSH)));
    Register(kImageClass, ImageProc, nullptr);

    // Load Velumira_R without showing it: a borderless window owned by the
    // hidden application window.
    g_app = CreateWindowExA(0, kAppClass, kAppTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
    HWND preview = CreateWindowExA(0, kPreviewClass, kPreviewCaption, WS_POPUP | WS_CLIPCHILDREN, 0,
                                   0, 0, 0, g_app, nullptr, instance, nullptr);
    if (!preview) {
        if (g_app) DestroyWindow(g_app);
        return nullptr;
    }
    SetWindowLongPtrA(preview, GWL_STYLE, WS_CLIPCHILDREN);

    SetWindowLongA(preview, GWL_STYLE, GetWindowLongA(preview, GWL_STYLE) | WS_CHILD);
    SetParent(preview, parent);
    FillArea(preview, parent);
    ShowWindow(preview, SW_SHOWNORMAL);
    g_parent = parent;
    // The cloth where OpenGL can be had, else Img_Prev with the still.
    if (!StartPreviewCloth(preview)) {
        g_picture = LoadPreviewPicture();
        RECT r = {};
        GetClientRect(preview, &r);
        CreateWindowExA(0, kImageClass, "Img_Prev", WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom,
                        preview, nullptr, instance, nullptr);
    }
    SetTimer(preview, kParentCheckTimer, kParentCheckPeriodMs, nullptr);
    return preview;
}

int RunPreviewLoop() {
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return int(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!IsWindow(g_parent) || !PreviewClothIdle()) {
            // Nothing to draw: the area is gone (the parent check ends the
            // host), the still is shown, or the cloth is not seen.
            WaitMessage();
        }
    }
}

} // namespace velumira
