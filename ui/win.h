// Thin helpers over the wide user-interface API: owning handle aliases, the select/restore guard
// of a device context, bool-typed control accessors, the program's own path and its layout
// resources. Texts are UTF-8 inside the program (base::Widen and base::Narrow convert them).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/handle.h"
#include "base/text.h"

namespace ui {

using base::Narrow;
using base::UniqueHandle;
using base::Widen;

using WindowHandle = UniqueHandle<HWND, &DestroyWindow>;
using FontHandle = UniqueHandle<HFONT, &DeleteObject>;
using DcHandle = UniqueHandle<HDC, &DeleteDC>;

// Selects an object (a font) into a device context and puts the previous one back when it
// goes; a null object selects nothing.
class SelectedObject {
public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

private:
  HDC dc_;
  HGDIOBJ old_;
};

// CharLowerBuffW on UTF-8 text.
std::string LowerCase(std::string_view utf8);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

bool IsChecked(HWND checkBox);
void SetChecked(HWND checkBox, bool checked);
void Enable(HWND control, bool enabled);

// The running program's full path as GetModuleFileNameW gives it, and in UTF-8. Neither is
// cut at MAX_PATH.
std::wstring ModulePathWide();
std::string ModulePathUtf8();

// An RCDATA resource of the running program, as text; throws when it is missing.
std::string ResourceText(const wchar_t* name);

}  // namespace ui
