// The display scale of the program's windows, through functions that newer versions of Windows
// have and older ones lack. Each is looked up at run time, so the program still starts where
// one is missing, and falls back to what the system had before it.
#pragma once

#include <windows.h>

namespace ui {

// The system's dpi: LOGPIXELSY of the screen.
int SystemDpi();
// The window's dpi: GetDpiForWindow (Windows 10 1607) where it exists, else the system's.
int WindowDpi(HWND window);
// The outer rectangle of a window with that client area at that dpi, the client area's
// top-left at 0, 0: AdjustWindowRectExForDpi where it exists, else AdjustWindowRectEx (whose
// frame is the system dpi's).
RECT FrameAround(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

}  // namespace ui
