// Whether a test program runs under Wine rather than Windows: Wine's ntdll exports
// wine_get_version, Windows' never does.
#pragma once

#include <windows.h>

namespace testing_support {

inline bool RunningUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace testing_support
