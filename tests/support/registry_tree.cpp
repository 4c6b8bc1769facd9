#include "tests/support/registry_tree.h"

#include <windows.h>

#include "tests/support/handles.h"

namespace testing_support {

void AppendRegistryTree(settings::Key root, const std::string& path, std::vector<std::string>& lines) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  KeyHandle key(opened);
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
    if (RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS)
      break;
    lines.push_back(where + " : " + std::string(name.data(), nameSize) + " = " + std::to_string(type) + ":" +
                    std::string(reinterpret_cast<const char*>(data.data()), dataSize));
  }
  std::vector<std::string> subKeys;
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key.get(), index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    subKeys.emplace_back(name.data(), nameSize);
  }
  key.reset();
  for (const std::string& subKey : subKeys)
    AppendRegistryTree(root, path.empty() ? subKey : path + "\\" + subKey, lines);
}

bool CreateVolatileKey(settings::Key root, const std::string& path) {
  HKEY created = nullptr;
  if (RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &created, nullptr) != ERROR_SUCCESS)
    return false;
  const KeyHandle key(created);
  return true;
}

}  // namespace testing_support
