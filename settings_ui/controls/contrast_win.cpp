#include "contrast_win.h"

#include "dpi_scale.h"

namespace velumira {

namespace {

bool SystemHighContrast() {
    HIGHCONTRASTW hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

HighContrastSource g_source = SystemHighContrast;
bool g_read = false;
bool g_on = false;

} // namespace

bool HighContrastOn() {
    if (!g_read) ReadHighContrast();
    return g_on;
}

bool ReadHighContrast() {
    const bool was = g_on;
    g_on = g_source();
    const bool changed = g_read && was != g_on;
    g_read = true;
    return changed;
}

void SetHighContrastSource(HighContrastSource source) {
    g_source = source ? source : SystemHighContrast;
}

void DrawFocusDots(HDC dc, const RECT& r, int dpi, COLORREF colour) {
    const int u = LineWidth(dpi);
    for (int i = 0; i < u; ++i) {
        const int l = r.left + i, t = r.top + i, rt = r.right - 1 - i, b = r.bottom - 1 - i;
        if (rt <= l || b <= t) break;
        for (int x = l; x <= rt; x += 2) {
            SetPixelV(dc, x, t, colour);
            SetPixelV(dc, x, b, colour);
        }
        for (int y = t; y <= b; y += 2) {
            SetPixelV(dc, l, y, colour);
            SetPixelV(dc, rt, y, colour);
        }
    }
}

} // namespace velumira
