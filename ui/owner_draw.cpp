#include "ui/owner_draw.h"

#include <algorithm>
#include <string>

#include "ui/win.h"

namespace ui {
namespace {

constexpr UINT kSelectionField = static_cast<UINT>(-1);
// What a closed combo box's frame takes of its height, above and below the selection field.
constexpr int kComboFrameHeight = 6;
constexpr int kComboTextIndent = 2;

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

}  // namespace

UINT ComboItemHeight(const PlacedControl& placed, UINT itemID) {
  if (itemID == kSelectionField) return static_cast<UINT>(std::max(1, placed.bounds.height - kComboFrameHeight));
  return static_cast<UINT>(placed.def->itemHeight > 0 ? placed.def->itemHeight : placed.def->font.height);
}

void DrawComboItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != kSelectionField) {
    const auto length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    const SelectedObject font(dc, FontOf(item.hwndItem));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!IsWindowEnabled(item.hwndItem) ? COLOR_GRAYTEXT
                                 : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_WINDOWTEXT));
    RECT textRect = rc;
    textRect.left += kComboTextIndent;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &rc);
}

void DrawLabel(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  const SelectedObject font(dc, FontOf(item.hwndItem));
  SetBkMode(dc, TRANSPARENT);
  std::wstring text = WindowText(item.hwndItem);
  constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
  if (IsWindowEnabled(item.hwndItem)) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, kFormat);
  } else {
    RECT shifted = rc;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &shifted, kFormat);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, kFormat);
  }
}

}  // namespace ui
