#include "tests/support/files.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "tests/support/handles.h"

namespace testing_support {
namespace {

std::optional<BY_HANDLE_FILE_INFORMATION> Identity(const std::wstring& path) {
  HANDLE opened = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return std::nullopt;
  const KernelHandle file(opened);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return info;
}

}  // namespace

CopiesFolder::CopiesFolder(std::wstring folder) : folder_(std::move(folder)) {
  CreateDirectoryW(folder_.c_str(), nullptr);
}

CopiesFolder::~CopiesFolder() {
  for (const std::wstring& copy : copies_) DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder_.c_str());
}

std::wstring CopiesFolder::Copy(const std::wstring& source, const std::wstring& name) {
  std::wstring copy = folder_ + L"\\" + name;
  if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) return {};
  copies_.push_back(copy);
  return copy;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  const auto first = Identity(a);
  const auto second = Identity(b);
  return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
         first->nFileIndexHigh == second->nFileIndexHigh && first->nFileIndexLow == second->nFileIndexLow;
}

}  // namespace testing_support
