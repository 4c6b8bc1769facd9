// Registers the handler from the folder this program lies in, as OK does with the default
// options: run from a copy in a folder with a double-byte name.
#include <windows.h>

#include <cstdio>

#include "registration/commit.h"
#include "settings/win_registry_store.h"

int main() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return 2;
  settings::WinRegistryStore store;
  try {
    registration::Commit(store, {}, true, settings::Options{}, std::string(path, length));
  } catch (const settings::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
