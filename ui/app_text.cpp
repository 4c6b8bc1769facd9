#include "ui/app_text.h"

namespace ui {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

}  // namespace

std::string ApplicationTitle(std::string_view modulePath, LowerCaseFn lower) {
  std::string_view name = modulePath;
  const std::size_t slash = name.find_last_of("\\/:");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  const std::size_t dot = name.find('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  if (name.empty()) return {};
  std::size_t first = 1;
  while (first < name.size() && IsContinuationByte(name[first])) ++first;
  return std::string(name.substr(0, first)) + lower(name.substr(first));
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (text.empty()) return text;
  std::size_t last = text.size() - 1;
  while (last > 0 && IsContinuationByte(text[last])) --last;
  if (static_cast<unsigned char>(text[last]) > '.') text += '.';
  return text;
}

}  // namespace ui
