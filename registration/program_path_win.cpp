#include <windows.h>

#include "registration/program_path.h"

namespace registration {
namespace {

std::optional<std::wstring> ShortPathName(const std::wstring& path) {
  std::wstring shortPath(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (size == 0) return std::nullopt;
    if (size < shortPath.size()) {
      shortPath.resize(size);
      return shortPath;
    }
    shortPath.resize(size);  // the size needed, its zero included
  }
}

}  // namespace

ProgramPath AnsiProgramPath(const std::wstring& executablePath, const base::CodePage& codePage) {
  return ChooseProgramPath(
      executablePath, codePage, [](const base::CodePage& cp, std::wstring_view text) { return cp.ExactBytes(text); },
      &ShortPathName);
}

}  // namespace registration
