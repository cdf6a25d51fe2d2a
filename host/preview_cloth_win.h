// The cloth swinging in the preview window: the renderer's sheet, scene and
// pacing, in an OpenGL child window that fills the preview.
#pragma once

#include <windows.h>

namespace velumira {

// The desktop picture on the preview's cloth: a bitmap resource.
constexpr int kPreviewDesktopId = 102;

// Asked of the cloth's window with SendMessage from any process (Wine shows
// no child window of one process inside another's, so a test standing in for
// the display settings cannot look): wParam kFramesDrawn answers the frames
// drawn so far, kFrameDigest a digest of the pixels of the first frame drawn
// after the last such question (0 before there was one).
constexpr char kPreviewFrameQuery[] = "Velumira_PreviewFrame";
constexpr WPARAM kFramesDrawn = 0;
constexpr WPARAM kFrameDigest = 1;

// Makes the OpenGL child Pic_Prev filling `preview` and shows the cloth's
// first frames in it. False where OpenGL cannot be had (no pixel format can
// be set, no context made), with nothing left behind.
bool StartPreviewCloth(HWND preview);

// One idle turn of the host's message loop: draws the next frame when it is
// due, else waits for it, cut short by any message. False, doing nothing,
// while there is nothing to draw: no cloth, or its window hidden or gone.
bool PreviewClothIdle();

} // namespace velumira
