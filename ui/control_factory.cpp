#include "ui/control_factory.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/win.h"

namespace ui {
namespace {

struct KindClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

KindClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::GroupBox: return {L"BUTTON", BS_GROUPBOX, 0};
    // Drawn by the window so that its rows take the layout's item height on every system.
    case ControlKind::ComboBox:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::HotKey: return {HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  throw std::logic_error("unknown control kind");
}

// Every combination with a modifier; the field replaces each by none.
constexpr WPARAM kModifierCombinations =
    HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC | HKCOMB_SA | HKCOMB_CA | HKCOMB_SCA;

// A label's one line of text, never smaller than laid out, and larger where the system's font
// for the face is wider than the one the layout was made with.
void FitLabel(HWND control, const ScaledControl& placed, HFONT font, HDC measure) {
  const std::wstring text = Wide(placed.def->text);
  SIZE extent{};
  {
    const SelectedObject selected(measure, font);
    GetTextExtentPoint32W(measure, text.c_str(), static_cast<int>(text.size()), &extent);
  }
  const int width = std::max(placed.bounds.width, static_cast<int>(extent.cx));
  const int height = std::max(placed.bounds.height, static_cast<int>(extent.cy));
  if (width != placed.bounds.width || height != placed.bounds.height)
    SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The closed box takes the layout's height: the selection field gives the difference.
// Systems differ in what the field's height includes, so correct by what is measured.
void FitComboBox(HWND control, const ScaledControl& placed) {
  constexpr int kTries = 4;
  LRESULT field = SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int tries = 0; tries < kTries && field > 0; ++tries) {
    RECT r{};
    GetWindowRect(control, &r);
    const LRESULT excess = (r.bottom - r.top) - placed.bounds.height;
    if (excess == 0 || field - excess <= 0) break;
    field -= excess;
    SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

void FillComboBox(HWND control, const ScaledControl& placed) {
  for (const std::string& item : placed.def->items)
    SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  FitComboBox(control, placed);
}

}  // namespace

HWND CreateControl(HWND window, const ScaledControl& placed, FontCache& fonts, HDC measure) {
  const ControlSpec& def = *placed.def;
  const KindClass kc = ClassOf(def.kind);
  // A drop-down list's height at creation includes its list.
  const int height = placed.bounds.height + placed.listHeight;
  HWND control = CreateWindowExW(kc.exStyle, kc.className, Wide(def.text).c_str(), WS_CHILD | WS_VISIBLE | kc.style,
                                 placed.bounds.left, placed.bounds.top, placed.bounds.width, height, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(placed.id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw std::runtime_error("cannot create control " + def.name);
  HFONT font = fonts.Get(placed.font);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  switch (def.kind) {
    case ControlKind::Label:
      FitLabel(control, placed, font, measure);
      break;
    case ControlKind::ComboBox:
      FillComboBox(control, placed);
      break;
    case ControlKind::HotKey:
      SendMessageW(control, HKM_SETRULES, kModifierCombinations, MAKELPARAM(0, 0));
      SendMessageW(control, HKM_SETHOTKEY, 0, 0);
      break;
    default:
      break;
  }
  return control;
}

void PlaceControl(HWND control, const ScaledControl& placed, FontCache& fonts, HDC measure) {
  HFONT font = fonts.Get(placed.font);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const Rect& b = placed.bounds;
  SetWindowPos(control, nullptr, b.left, b.top, b.width, b.height + placed.listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  switch (placed.def->kind) {
    case ControlKind::Label:
      FitLabel(control, placed, font, measure);
      break;
    case ControlKind::ComboBox:
      SendMessageW(control, CB_SETITEMHEIGHT, 0, placed.itemHeight);
      FitComboBox(control, placed);
      break;
    default:
      break;
  }
}

}  // namespace ui
