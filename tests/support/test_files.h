// Files a test program reads or starts, found the same way in the build tree and in the test
// bundle of a release (scripts/release): beside the program first, where the bundle puts them,
// else at their place in the build tree, which the build gives relative to the program's own
// folder. So no path of the build machine is compiled into a test program.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <string>
#include <system_error>

namespace testing_support {

inline std::filesystem::path OwnProgram() {
#ifdef _WIN32
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
#else
  return std::filesystem::read_symlink("/proc/self/exe");
#endif
}
inline std::filesystem::path OwnProgramFolder() { return OwnProgram().parent_path(); }

// `bundled` beside the program when it is there, else `inTree` (relative to the program's folder).
inline std::filesystem::path TestFile(const std::filesystem::path& bundled, const std::filesystem::path& inTree) {
  const std::filesystem::path folder = OwnProgramFolder();
  std::error_code error;
  if (std::filesystem::exists(folder / bundled, error)) return folder / bundled;
  return (folder / inTree).lexically_normal();
}

}  // namespace testing_support
