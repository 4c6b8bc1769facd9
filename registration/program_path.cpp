#include "registration/program_path.h"

namespace registration {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 (Windows' wchar_t) or UTF-32 (elsewhere) to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

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
  return "'" + Utf8(folder) + "' はこのシステムの文字コードで表せない名前を含むため登録できません";
}

ProgramPath ChooseProgramPath(std::wstring_view executablePath, const settings::CodePage& codePage,
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
