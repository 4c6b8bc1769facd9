#include "tests/registration/snapshot.h"

#include <algorithm>

#include "settings/memory_registry_store.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace registration_tests {

using settings::Key;

#ifdef _WIN32
namespace {

struct OpenKey {
  HKEY key = nullptr;
  OpenKey(HKEY base, const std::string& path) {
    if (RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
  }
  ~OpenKey() {
    if (key) RegCloseKey(key);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
};

HKEY ToHkey(Key key) { return reinterpret_cast<HKEY>(key); }

void Walk(Key root, const std::string& path, std::vector<std::string>& lines) {
  const OpenKey open(ToHkey(root), path);
  if (!open.key) return;
  const std::string where = std::string(root == settings::kClassesRoot ? "HKCR"
                                         : root == settings::kUsers     ? "HKU"
                                                                        : "HKCU") +
                            (path.empty() ? "" : "\\" + path);
  lines.push_back(where);
  std::vector<char> name(32768);
  std::vector<BYTE> data(65536);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(open.key, index, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS)
      break;
    lines.push_back(where + " : " + std::string(name.data(), nameSize) + " = " + std::to_string(type) + ":" +
                    std::string(reinterpret_cast<const char*>(data.data()), dataSize));
  }
  std::vector<std::string> subKeys;
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(open.key, index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    subKeys.emplace_back(name.data(), nameSize);
  }
  for (const std::string& subKey : subKeys) Walk(root, path.empty() ? subKey : path + "\\" + subKey, lines);
}

}  // namespace

bool CreateVolatileKey(Key root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}
#endif

std::vector<std::string> Snapshot(settings::RegistryStore& store, const std::vector<std::pair<Key, std::string>>& keys) {
  std::vector<std::string> lines;
  if (auto* memory = dynamic_cast<settings::MemoryRegistryStore*>(&store)) {
    lines = memory->Dump(settings::kClassesRoot);
    for (std::string& line : memory->Dump(settings::kCurrentUser)) lines.push_back("HKCU " + line);
    for (std::string& line : memory->Dump(settings::kUsers)) lines.push_back("HKU " + line);
    return lines;
  }
#ifdef _WIN32
  for (const auto& [root, path] : keys) Walk(root, path, lines);
#else
  (void)keys;
#endif
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace registration_tests
