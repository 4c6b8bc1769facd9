#include "tests/support/registry_tree.h"

#include <windows.h>

#include "tests/support/handles.h"

extern "C" LONG NTAPI NtQueryKey(HANDLE key, int infoClass, void* info, ULONG length, ULONG* resultLength);

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

bool CreateLink(settings::Key root, const std::string& path, settings::Key targetRoot, const std::string& targetPath) {
  KeyHandle target;
  if (RegOpenKeyExA(reinterpret_cast<HKEY>(targetRoot), targetPath.c_str(), 0, KEY_READ, target.put()) != ERROR_SUCCESS)
    return false;
  // The target's kernel name (\REGISTRY\...): KeyNameInformation, its length in bytes first.
  std::vector<ULONG> name(2048);
  ULONG size = 0;
  if (NtQueryKey(target.get(), 3, name.data(), static_cast<ULONG>(name.size() * sizeof(ULONG)), &size) != 0)
    return false;
  // The parents first, lasting: the keys a creation makes on the way take its options.
  KeyHandle parent, link;
  if (RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.substr(0, path.rfind('\\')).c_str(), 0, nullptr, 0,
                      KEY_CREATE_SUB_KEY, nullptr, parent.put(), nullptr) != ERROR_SUCCESS ||
      RegCreateKeyExA(parent.get(), path.substr(path.rfind('\\') + 1).c_str(), 0, nullptr,
                      REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                      link.put(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(&name[1]),
                        name[0]) == ERROR_SUCCESS;
}

}  // namespace testing_support
