#include "registration/program_path.h"

#include "base/text.h"
#include "registration/commit.h"

namespace registration {
namespace {

std::wstring_view FolderOf(std::wstring_view path) {
  const std::size_t last = path.find_last_of(L"\\:");
  return last == std::wstring_view::npos ? std::wstring_view() : path.substr(0, last + 1);
}

// Explorer is not long-path-aware: it loads the server through a path of at most MAX_PATH - 1
// characters. The limit counts UTF-16 units, not ANSI bytes: the registry holds the value in
// UTF-16 whichever API wrote it, COM reads it and loads the DLL through the wide API, and even
// an ANSI loader converts to UTF-16 first and applies the limit there. A double-byte folder
// (ソフト表: 4 characters, 8 bytes) therefore counts by its characters. A form that converts
// exactly comes back as the same UTF-16 text, so the form's own length is the one that counts.
constexpr std::size_t kMaxServerPath = 259;

bool ServerPathFits(std::wstring_view folder) {
  return folder.size() + std::char_traits<char>::length(kServerFileName) <= kMaxServerPath;
}

std::string ShownFolderMessage(std::wstring_view folder, const char* reason) {
  // As the user sees a folder: without its last "\", unless that ends a drive ("C:\").
  if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') folder.remove_suffix(1);
  return "'" + base::Narrow(folder) + "' " + reason;
}

}  // namespace

ProgramPath ProgramPath::Unrepresentable(std::string message) {
  ProgramPath path;
  path.message_ = std::move(message);
  return path;
}

std::string UnrepresentableFolderMessage(std::wstring_view folder) {
  return ShownFolderMessage(folder, "はこのシステムの文字コードで表せない名前を含むため登録できません");
}

ProgramPath ChooseProgramPath(std::wstring_view executablePath, const base::CodePage& codePage,
                              const ExactBytesFn& exactBytes, const ShortPathFn& shortPath) {
  const std::wstring_view folder = FolderOf(executablePath);
  // Whether some form converted but was too long: then the length, not the code page, is what
  // the user has to change.
  bool tooLong = false;
  const auto take = [&](std::wstring_view form) -> std::optional<std::string> {
    auto bytes = exactBytes(codePage, form);
    if (bytes && !ServerPathFits(form)) {
      tooLong = true;
      return std::nullopt;
    }
    return bytes;
  };
  if (auto bytes = take(folder)) return ProgramPath(std::move(*bytes));
  if (auto shortForm = shortPath(std::wstring(folder))) {
    if (!shortForm->empty() && shortForm->back() != L'\\') *shortForm += L'\\';
    if (auto bytes = take(*shortForm)) return ProgramPath(std::move(*bytes));
  }
  if (tooLong) return ProgramPath::Unrepresentable(ShownFolderMessage(folder, "はパスが長すぎるため登録できません"));
  return ProgramPath::Unrepresentable(UnrepresentableFolderMessage(folder));
}

}  // namespace registration
