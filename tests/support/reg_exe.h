// Windows test programs: running another program to its end, and reading the registry with
// Wine's own reg.exe, a client we did not write.
#pragma once

#ifndef _WIN32
#error "reg.exe and child programs are Windows matters"
#endif

#include <windows.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct Finished {
  DWORD exitCode = ~DWORD{0};
  std::string output;  // standard output and error together, in the console's code page
};
// Runs a command line to its end and collects what it writes. Throws std::runtime_error when
// the program cannot start, or when it is still running after the timeout (it is ended then).
Finished RunProgram(const std::wstring& commandLine, std::chrono::milliseconds timeout = std::chrono::seconds(60));

// One value as reg.exe prints it; the default value's name, which reg.exe shows as a word of
// the user's language in parentheses, is empty.
struct RegValue {
  std::string name, type, data;
  friend bool operator==(const RegValue&, const RegValue&) = default;
};
void PrintTo(const RegValue& value, std::ostream* out);

// A key as reg.exe names it ("HKEY_CLASSES_ROOT\..."), with the values it lists for it.
struct RegKey {
  std::string key;
  std::vector<RegValue> values;
};

// `reg.exe query KEY` (with /s: and every key below it); nullopt when reg.exe reports no such
// key. The names and data looked at by the tests are ASCII, whatever the OEM code page.
std::optional<std::vector<RegKey>> RegExeQuery(const std::string& key, bool subkeys = false);

}  // namespace testing_support
