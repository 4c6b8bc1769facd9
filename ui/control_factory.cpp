#include "ui/control_factory.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/owner_draw.h"
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
constexpr WPARAM kModifierCombinations = HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC | HKCOMB_SA | HKCOMB_CA |
                                         HKCOMB_SCA;

// The closed box takes the layout's height: its selection field is set once to what
// WM_MEASUREITEM says (the layout's height less the frame); a system whose frame differs is
// corrected by what is measured.
void FitComboBox(HWND control, const ScaledControl& placed) {
  constexpr int kTries = 3;
  constexpr auto kSelectionField = static_cast<WPARAM>(-1);
  auto field = static_cast<LRESULT>(ComboItemHeight(placed, static_cast<UINT>(kSelectionField)));
  SendMessageW(control, CB_SETITEMHEIGHT, kSelectionField, field);
  for (int tries = 0; tries < kTries; ++tries) {
    RECT r{};
    GetWindowRect(control, &r);
    const LRESULT excess = (r.bottom - r.top) - placed.bounds.height;
    if (excess == 0 || field - excess <= 0) break;
    field -= excess;
    SendMessageW(control, CB_SETITEMHEIGHT, kSelectionField, field);
  }
}

void FillComboBox(HWND control, const ScaledControl& placed) {
  for (const std::string& item : placed.def->items)
    SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  FitComboBox(control, placed);
}

}  // namespace

Rect ControlRect(const ScaledControl& placed, FontCache& fonts, HDC measure) {
  const ControlSpec& def = *placed.def;
  Rect r = placed.bounds;
  if (def.kind == ControlKind::Label) {
    // One line of text, never smaller than laid out, and larger where the system's font for
    // the face is wider than the one the layout was made with.
    const std::wstring text = Widen(def.text);
    SIZE extent{};
    {
      const SelectedObject selected(measure, fonts.Get(placed.font));
      GetTextExtentPoint32W(measure, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    r.width = std::max(r.width, static_cast<int>(extent.cx));
    r.height = std::max(r.height, static_cast<int>(extent.cy));
  } else if (def.kind == ControlKind::ComboBox) {
    r.height += placed.listHeight;  // a drop-down list's height at creation includes its list
  }
  return r;
}

HWND CreateControl(HWND window, const ScaledControl& placed, FontCache& fonts, HDC measure) {
  const ControlSpec& def = *placed.def;
  const KindClass kc = ClassOf(def.kind);
  const Rect r = ControlRect(placed, fonts, measure);
  HWND control = CreateWindowExW(kc.exStyle, kc.className, Widen(def.text).c_str(), WS_CHILD | WS_VISIBLE | kc.style,
                                 r.left, r.top, r.width, r.height, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(placed.id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw std::runtime_error("cannot create control " + def.name);
  HFONT font = fonts.Get(placed.font);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  switch (def.kind) {
    case ControlKind::ComboBox: FillComboBox(control, placed); break;
    case ControlKind::HotKey:
      SendMessageW(control, HKM_SETRULES, kModifierCombinations, MAKELPARAM(0, 0));
      SendMessageW(control, HKM_SETHOTKEY, 0, 0);
      break;
    default: break;
  }
  return control;
}

void PlaceControl(HWND control, const ScaledControl& placed, FontCache& fonts, HDC measure) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(placed.font)), FALSE);
  const Rect r = ControlRect(placed, fonts, measure);
  SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (placed.def->kind == ControlKind::ComboBox) {
    SendMessageW(control, CB_SETITEMHEIGHT, 0, placed.itemHeight);
    FitComboBox(control, placed);
  }
}

}  // namespace ui
