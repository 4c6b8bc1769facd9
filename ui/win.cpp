#include "ui/win.h"

#include <stdexcept>

namespace ui {

std::string LowerCase(std::string_view utf8) {
  std::wstring wide = Widen(utf8);
  CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256];
  const int length = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND checkBox, bool checked) {
  SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Enable(HWND control, bool enabled) {
  EnableWindow(control, enabled ? TRUE : FALSE);
  // Owner-drawn labels do not redraw by themselves; a window not shown yet is drawn whole anyway.
  if (IsWindowVisible(control)) InvalidateRect(control, nullptr, TRUE);
}

namespace {

template <class Char, class Get>
std::basic_string<Char> ModulePath(Get get) {
  std::basic_string<Char> path(MAX_PATH, Char{});
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = get(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return path;
    }
    if (size >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring ModulePathWide() { return ModulePath<wchar_t>(&GetModuleFileNameW); }
std::string ModulePathUtf8() { return Narrow(ModulePathWide()); }

std::string ResourceText(const wchar_t* name) {
  // The headers spell RT_RCDATA for the narrow API here; the resource number is the same.
  HRSRC info = FindResourceW(nullptr, name, reinterpret_cast<const wchar_t*>(RT_RCDATA));
  HGLOBAL data = info ? LoadResource(nullptr, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw std::runtime_error("layout resource missing: " + Narrow(name));
  return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, info));
}

}  // namespace ui
