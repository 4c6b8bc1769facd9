// Registers the handler from the folder this program lies in, as OK does with the default
// options: run from a copy in a folder with a double-byte or non-ANSI name.
#include <windows.h>

#include <cstdio>

#include "registration/commit.h"
#include "settings/win_registry_store.h"

int main() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return 2;
  settings::WinRegistryStore store;
  try {
    registration::Commit(store, true, settings::Options{},
                         registration::AnsiProgramPath(std::wstring(path, length), store.AnsiCodePage()));
  } catch (const settings::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
