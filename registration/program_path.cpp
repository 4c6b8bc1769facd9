#include "registration/program_path.h"

#include "base/text.h"

namespace registration {
namespace {

std::wstring_view FolderOf(std::wstring_view path) {
  const std::size_t last = path.find_last_of(L"\\:");
  return last == std::wstring_view::npos ? std::wstring_view() : path.substr(0, last + 1);
}

}  // namespace

ProgramPath ProgramPath::Unrepresentable(std::string message) {
  ProgramPath path;
  path.message_ = std::move(message);
  return path;
}

std::string UnrepresentableFolderMessage(std::wstring_view folder) {
  // As the user sees a folder: without its last "\", unless that ends a drive ("C:\").
  if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') folder.remove_suffix(1);
  return "'" + base::Narrow(folder) + "' はこのシステムの文字コードで表せない名前を含むため登録できません";
}

ProgramPath ChooseProgramPath(std::wstring_view executablePath, const base::CodePage& codePage,
                              const ExactBytesFn& exactBytes, const ShortPathFn& shortPath) {
  const std::wstring_view folder = FolderOf(executablePath);
  if (auto bytes = exactBytes(codePage, folder)) return ProgramPath(std::move(*bytes));
  if (auto shortForm = shortPath(std::wstring(folder))) {
    if (!shortForm->empty() && shortForm->back() != L'\\') *shortForm += L'\\';
    if (auto bytes = exactBytes(codePage, *shortForm)) return ProgramPath(std::move(*bytes));
  }
  return ProgramPath::Unrepresentable(UnrepresentableFolderMessage(folder));
}

}  // namespace registration
