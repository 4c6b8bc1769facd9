// Windows test programs: a folder of copies made for one test, and whether two paths name the
// same file (long and short names, ANSI and UTF-16 alike).
#pragma once

#ifndef _WIN32
#error "files are compared by Windows' file identity"
#endif

#include <string>
#include <vector>

namespace testing_support {

// Creates `folder` (it may exist) and removes, best-effort, the copies and the folder when it
// goes: a copy still loaded stays until the next run replaces it.
class CopiesFolder {
public:
  explicit CopiesFolder(std::wstring folder);
  ~CopiesFolder();
  CopiesFolder(const CopiesFolder&) = delete;
  CopiesFolder& operator=(const CopiesFolder&) = delete;

  // Copies `source` into the folder as `name`; returns the copy's path, empty on failure.
  std::wstring Copy(const std::wstring& source, const std::wstring& name);

private:
  std::wstring folder_;
  std::vector<std::wstring> copies_;
};

// Whether both paths open and name one file (volume serial number and file index).
bool SameFile(const std::wstring& a, const std::wstring& b);

}  // namespace testing_support
