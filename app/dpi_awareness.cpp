#include "app/dpi_awareness.h"

#include <windows.h>

#include <string>

#include "base/handle.h"
#include "base/module_function.h"

namespace app {
namespace {

using ModuleHandle = base::UniqueHandle<HMODULE, &FreeLibrary>;

// shcore.dll from the system folder only: an elevated program must not load one planted next
// to it, also where the loader's search cannot yet be restricted (Windows 7 without its update).
ModuleHandle LoadShcore() {
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ModuleHandle();
  path.resize(length);
  path += L"\\shcore.dll";
  return ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace

DpiAwareness DeclareDpiAwareness() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (const auto set = base::ModuleFunction<SetContext>(user32, "SetProcessDpiAwarenessContext"))
    if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return DpiAwareness::PerMonitorV2;

  // The awareness stays with the process when shcore goes.
  const ModuleHandle shcore = LoadShcore();
  using SetAwareness = HRESULT(WINAPI*)(int);
  constexpr int kPerMonitorDpiAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
  if (const auto set = base::ModuleFunction<SetAwareness>(shcore.get(), "SetProcessDpiAwareness"))
    if (set(kPerMonitorDpiAware) == S_OK) return DpiAwareness::PerMonitor;

  using SetAware = BOOL(WINAPI*)();
  if (const auto set = base::ModuleFunction<SetAware>(user32, "SetProcessDPIAware"))
    if (set()) return DpiAwareness::System;
  return DpiAwareness::None;
}

}  // namespace app
