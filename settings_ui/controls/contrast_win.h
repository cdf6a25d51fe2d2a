// High contrast: while the user has it on, the dialog's own controls draw with
// the user's system colours alone, no gradients, shadows or fixed colours.
// The setting is read once and again whenever the dialog hears that the
// system's settings or colours changed.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumira {

// Whether high contrast is on, as last read.
bool HighContrastOn();
// Reads the setting again (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE). True when it
// changed.
bool ReadHighContrast();

// Where the setting comes from: SPI_GETHIGHCONTRAST unless replaced. Wine
// cannot switch high contrast on, so tests answer for the system here; null
// goes back to the system. Takes effect at the next ReadHighContrast.
using HighContrastSource = bool (*)();
void SetHighContrastSource(HighContrastSource source);

// A focus rectangle of dots in `colour`, LineWidth(dpi) pixels thick: unlike
// the platform's inverted one it stays in the user's colours.
void DrawFocusDots(HDC dc, const RECT& r, int dpi, COLORREF colour);

} // namespace velumira
