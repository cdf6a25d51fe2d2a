#include "dpi_win.h"

#include "dpi_scale.h"

namespace velumira {

namespace {

template <typename F> F Function(const char* module, const char* name) {
    HMODULE m = GetModuleHandleA(module);
    return m ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m, name))) : nullptr;
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

// Windows 8.1: the effective DPI of the window's monitor (shcore).
int MonitorDpi(HWND wnd) {
    using GetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    HMODULE shcore = LoadLibraryA("shcore.dll");
    if (!shcore) return 0;
    auto get = reinterpret_cast<GetDpiForMonitor>(
        reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    const bool ok = get && SUCCEEDED(get(MonitorFromWindow(wnd, MONITOR_DEFAULTTOPRIMARY),
                                         0 /* MDT_EFFECTIVE_DPI */, &x, &y));
    FreeLibrary(shcore);
    return ok ? static_cast<int>(y) : 0;
}

} // namespace

int WindowDpi(HWND wnd) {
    if (auto get = Function<UINT(WINAPI*)(HWND)>("user32.dll", "GetDpiForWindow"))
        if (const UINT dpi = wnd ? get(wnd) : 0) return static_cast<int>(dpi);
    if (const int dpi = wnd ? MonitorDpi(wnd) : 0) return dpi;
    return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (auto adjust = Function<Adjust>("user32.dll", "AdjustWindowRectExForDpi"))
        if (adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

LOGFONTW MessageFontForDpi(int dpi) {
    // The layout of Windows Vista on, one int longer than the one this build
    // declares; the older size is what earlier systems take.
    struct Metrics {
        NONCLIENTMETRICSW m;
        int paddedBorderWidth;
    } metrics{};
    const UINT sizes[] = {sizeof(Metrics), sizeof(NONCLIENTMETRICSW)};
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    if (auto get = Function<ForDpi>("user32.dll", "SystemParametersInfoForDpi"))
        for (UINT size : sizes) {
            metrics.m.cbSize = size;
            if (get(SPI_GETNONCLIENTMETRICS, size, &metrics, 0, static_cast<UINT>(dpi)))
                return metrics.m.lfMessageFont;
        }
    for (UINT size : sizes) {
        metrics.m.cbSize = size;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0)) {
            LOGFONTW font = metrics.m.lfMessageFont;
            font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
            return font;
        }
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"Segoe UI");
    return font;
}

void DrawFocusRectForDpi(HDC dc, const RECT& r, int dpi) {
    const int width = LineWidth(dpi);
    for (int i = 0; i < width; ++i) {
        const RECT ring{r.left + i, r.top + i, r.right - i, r.bottom - i};
        if (i > 0 && (ring.right - ring.left < 2 || ring.bottom - ring.top < 2)) break;
        DrawFocusRect(dc, &ring);
    }
}

} // namespace velumira
