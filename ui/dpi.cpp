#include "ui/dpi.h"

#include "base/handle.h"
#include "base/module_function.h"
#include "ui/scale.h"

namespace ui {
namespace {

HMODULE User32() { return GetModuleHandleW(L"user32.dll"); }

void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
using ScreenDc = base::UniqueHandle<HDC, &ReleaseScreenDc>;

}  // namespace

int SystemDpi() {
  const ScreenDc screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kLayoutDpi;
}

int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto get = base::ModuleFunction<GetDpi>(User32(), "GetDpiForWindow");
  const UINT dpi = get && window ? get(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

RECT FrameAround(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = base::ModuleFunction<AdjustForDpi>(User32(), "AdjustWindowRectExForDpi");
  RECT frame{0, 0, clientWidth, clientHeight};
  if (!adjust || !adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return frame;
}

}  // namespace ui
