#include "settings/win_registry_store.h"

#include <windows.h>
#include <winternl.h>

extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);  // ntdll; the headers declare it for drivers only

namespace settings {
namespace {

HKEY ToHkey(Key key) { return reinterpret_cast<HKEY>(key); }
Key FromHkey(HKEY key) { return reinterpret_cast<Key>(key); }

static_assert(sizeof(Key) == sizeof(HKEY));

long Open(Key base, const std::string& subPath, DWORD options, std::uint32_t access, Key& result) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyExA(ToHkey(base), subPath.c_str(), options, access, &key);
  if (status == ERROR_SUCCESS) result = FromHkey(key);
  return status;
}

long Create(Key base, const std::string& subPath, DWORD options, std::uint32_t access, Key& result) {
  HKEY key = nullptr;
  const LONG status = RegCreateKeyExA(ToHkey(base), subPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE | options,
                                      access, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) result = FromHkey(key);
  return status;
}

}  // namespace

long WinRegistryStore::OpenKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Open(base, subPath, 0, access, result);
}

long WinRegistryStore::CreateKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Create(base, subPath, 0, access, result);
}

long WinRegistryStore::OpenKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Open(base, subPath, REG_OPTION_OPEN_LINK, access, result);
}

long WinRegistryStore::CreateKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Create(base, subPath, REG_OPTION_OPEN_LINK, access, result);
}

long WinRegistryStore::CloseKey(Key key) { return RegCloseKey(ToHkey(key)); }

long WinRegistryStore::QueryInfoKey(Key key, std::uint32_t& subKeys, std::uint32_t& maxSubKeyLength) {
  DWORD count = 0;
  DWORD longest = 0;
  const LONG status = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    subKeys = count;
    maxSubKeyLength = longest;
  }
  return status;
}

long WinRegistryStore::EnumKey(Key key, std::uint32_t index, char* name, std::uint32_t& nameSize) {
  DWORD size = nameSize;
  const LONG status = RegEnumKeyExA(ToHkey(key), index, name, &size, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) nameSize = size;
  return status;
}

long WinRegistryStore::DeleteKey(Key base, const std::string& subPath) {
  return RegDeleteKeyA(ToHkey(base), subPath.c_str());
}

long WinRegistryStore::DeleteOpenKey(Key key) {
  return static_cast<long>(RtlNtStatusToDosError(NtDeleteKey(ToHkey(key))));
}

long WinRegistryStore::QueryValue(Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = size ? *size : 0;
  const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data,
                                       size ? &valueSize : nullptr);
  if (type) *type = valueType;
  if (size) *size = valueSize;
  return status;
}

long WinRegistryStore::SetValue(Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

base::CodePage WinRegistryStore::AnsiCodePage() const { return base::CodePage::Ansi(); }

}  // namespace settings
