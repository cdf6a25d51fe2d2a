#pragma once

#include "monitors/monitor_plan.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace velumira {

constexpr const char16_t kRendererFile[] = u"\\Velumira.dll";

// One area of the screen copied into a 24-bit bottom-up DIB section; the
// caller deletes `image`.
struct ScreenCopy {
    HBITMAP image = nullptr;
    void* bits = nullptr;
    int width = 0;
    int height = 0;
};

// Copies the area of `screen` (a desktop device context) whose top-left
// corner is `left`, `top` into a new `copy`. False when no section could be
// made.
bool CopyScreenArea(HDC screen, int left, int top, int width, int height, ScreenCopy& copy);

// Writes `copy` as a Windows bitmap file at `path` with WriteWholeFile: it
// replaces any file there, and when it cannot be written (or there is no
// copy) no file is left there. True when the whole file was written.
bool WriteScreenCopy(const ScreenCopy& copy, const char* path);

// Copies the whole primary screen into `image` (a 24-bit bottom-up DIB
// section the size of the screen, made here) and writes it with
// WriteScreenCopy. True when the whole file was written.
bool CaptureScreenToFile(HDC screen, int width, int height, const char* path, HBITMAP& image);

// Removes the pictures of monitors other than the primary that an earlier
// run left in the working folder.
void RemoveMonitorPictures();

// Starts `path` as a program with the command line `path` alone, unquoted,
// shown normally, and hands it the host's right to take the foreground.
// Returns the handle of its process, null when none was created.
HANDLE StartProgram(const std::u16string& path);

// Loads the hidden saver form Velumira_S and runs its load handler. False
// when its window could not be made.
bool LoadSaverForm(char modeLetter, int16_t bgmKind, int16_t bgmTrack,
                   const std::u16string& bgmFile, const std::u16string& hostFolder);

} // namespace velumira
