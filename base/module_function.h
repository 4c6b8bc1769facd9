// Functions that newer versions of Windows have and older ones lack, looked up at run time so
// that the program still starts where one is missing.
#pragma once

#ifndef _WIN32
#error "module functions are Windows'"
#endif

#include <windows.h>

namespace base {

// A function of a loaded module by its name; null when the module (or the function) is missing.
template <class Function>
Function ModuleFunction(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace base
