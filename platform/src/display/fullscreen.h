// Exclusive full screen: the window that holds the display, the mode it set, and its flips.
#pragma once

#include "zqplatform/display.h"

namespace zqdisplay {

// The cooperative level a driver object took on a window (exclusive or not).
void fullscreenCooperativeLevel(const void* owner, HWND hwnd, DWORD flags);
// A display mode set by the exclusive owner: the window covers the screen at that mode.
void fullscreenSetMode(const void* owner, HWND hwnd, const DDSURFACEDESC2& mode);
// The owner gives the display back (normal level, mode restored, or the driver released).
void fullscreenRelease(const void* owner);
void fullscreenNoteFlip(DWORD flags);

}  // namespace zqdisplay
