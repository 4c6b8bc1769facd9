// The running program's path as the server path needs it: in the ANSI code page that registry
// strings are in. The system gives the path in UTF-16; a folder whose name the code page
// cannot hold exactly would come out "best fit" (another folder) or with "?" (no folder), so
// its short (8.3) form is taken instead, which names the same folder. The short form is also
// what a folder too deep for Explorer gets: the server path must stay within MAX_PATH. Failing
// both there is no server path, and the register branch of the commit writes nothing and raises
// the message.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/codepage.h"

namespace registration {

// The program's path in the ANSI code page (the server path takes its folder), or the
// message that says it has none. A path in the ANSI code page converts to one implicitly.
class ProgramPath {
public:
  ProgramPath(std::string ansiPath) : ansi_(std::move(ansiPath)) {}
  ProgramPath(const char* ansiPath) : ansi_(ansiPath) {}
  static ProgramPath Unrepresentable(std::string message);

  bool Representable() const { return ansi_.has_value(); }
  const std::string& Ansi() const { return *ansi_; }       // only when Representable()
  const std::string& Message() const { return message_; }  // only when not

private:
  ProgramPath() = default;
  std::optional<std::string> ansi_;
  std::string message_;
};

// The text in the code page when every character has an exact form there, else nullopt
// (CodePage::ExactBytes on Windows).
using ExactBytesFn = std::function<std::optional<std::string>(const base::CodePage&, std::wstring_view)>;
// The short (8.3) form of an existing folder's path, nullopt when the system gives none.
using ShortPathFn = std::function<std::optional<std::wstring>(const std::wstring& path)>;

// The message for a program folder that the ANSI code page cannot hold, naming the folder in
// UTF-8: "'<folder>' はこのシステムの文字コードで表せない名前を含むため登録できません".
std::string UnrepresentableFolderMessage(std::wstring_view folder);

// The decision, for the executable's full path in UTF-16: its folder (up to and including the
// last "\" or ":") when it converts exactly, else the short form of that folder when that
// does, else Unrepresentable. A form counts only when the server path made from it, DLL name
// included, is at most 259 UTF-16 characters; when a form converted but none fitted, the
// message is "'<folder>' はパスが長すぎるため登録できません". Only the folder counts: a file
// name the code page cannot hold needs no short form. The short form is asked for only when it
// is needed.
ProgramPath ChooseProgramPath(std::wstring_view executablePath, const base::CodePage& codePage,
                              const ExactBytesFn& exactBytes, const ShortPathFn& shortPath);

#ifdef _WIN32
// ChooseProgramPath with the system's conversion and GetShortPathNameW.
ProgramPath AnsiProgramPath(const std::wstring& executablePath, const base::CodePage& codePage);
#endif

}  // namespace registration
