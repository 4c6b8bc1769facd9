// Registers the handler from the folder this program lies in, as OK does with the default
// options: run from a copy in a folder with a double-byte or non-ANSI name, and at both widths
// to see where each one's commit lands. `register_here remove` removes the registration, as OK
// does after 削除.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "registration/commit.h"
#include "settings/win_registry_store.h"

int main(int argc, char** argv) {
  const bool remove = argc > 1 && std::strcmp(argv[1], "remove") == 0;
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return 2;
  settings::WinRegistryStore store;
  try {
    registration::Commit(store, {}, !remove, settings::Options{},
                         registration::AnsiProgramPath(std::wstring(path, length), store.AnsiCodePage()));
  } catch (const base::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
