// The start-up yardstick: the settings program's two windows made the fastest standard Win32
// way, as dialog templates (written from the window layouts at build time by layout_dialog),
// to measure the program's start-up against (scripts/bench-size-startup).
//
// Like the program it creates each distinct font once and gives it with WM_SETFONT, fills the
// combo box, gives the hot-key fields their rules, and draws the labels and the combo box itself.
// The start-up does the program's work before its main window shows: the detail dialog is
// created hidden first, then the main dialog, which CreateDialogParamW shows (its template is
// visible). The dialogs' window classes carry the icon. Closing the main dialog ends it.
#include <windows.h>

#include <commctrl.h>

#include "dialogs.h"  // generated
#include "ui/owner_draw.h"
#include "ui/scale.h"
#include "ui/win.h"

namespace {

using namespace bench;

HFONT gFonts[std::size(kFonts)];  // owned by wWinMain

const ControlDef* FindControl(int id) {
  for (const ControlDef& c : kControls)
    if (c.id == id) return &c;
  return nullptr;
}

void SetUp(HWND dialog, const DialogDef& def) {
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(gFonts[def.font]), FALSE);
  for (int i = def.firstControl; i < def.firstControl + def.controlCount; ++i) {
    const ControlDef& c = kControls[i];
    HWND control = GetDlgItem(dialog, c.id);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(gFonts[c.font]), FALSE);
    if (c.kind == Kind::ComboBox) {
      for (int k = c.firstItem; k < c.firstItem + c.itemCount; ++k)
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kItems[k]));
      SendMessageW(control, CB_SETCURSEL, 0, 0);
    } else if (c.kind == Kind::HotKey) {
      SendMessageW(control, HKM_SETRULES, 0xFE, MAKELPARAM(0, 0));
      SendMessageW(control, HKM_SETHOTKEY, 0, 0);
    }
  }
}

// The first template is the main dialog's.
bool IsMain(HWND dialog) { return GetWindowLongPtrW(dialog, DWLP_USER) == reinterpret_cast<LONG_PTR>(&kDialogs[0]); }

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetUp(dialog, *reinterpret_cast<const DialogDef*>(lParam));
      return TRUE;
    case WM_MEASUREITEM: {
      // Sent while the combo box is created, before WM_INITDIALOG.
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      const ControlDef* c = FindControl(static_cast<int>(item->CtlID));
      if (!c) return FALSE;
      const int rows = c->itemHeight > 0 ? c->itemHeight : kFonts[c->font].height;
      item->itemHeight = static_cast<UINT>(item->itemID == static_cast<UINT>(-1) ? (c->height > 7 ? c->height - 6 : 1)
                                                                                 : rows);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      // Drawn by the program's own code.
      if (item->CtlType == ODT_STATIC)
        ui::DrawLabel(*item, ui::kLayoutDpi);  // the yardstick runs at 96 dpi
      else if (item->CtlType == ODT_COMBOBOX)
        ui::DrawComboItem(*item);
      else
        return FALSE;
      return TRUE;
    }
    case WM_CLOSE:
      if (IsMain(dialog))
        DestroyWindow(dialog);
      else
        ShowWindow(dialog, SW_HIDE);
      return TRUE;
    case WM_DESTROY:
      if (IsMain(dialog)) PostQuitMessage(0);
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  ui::FontHandle fonts[std::size(kFonts)];
  for (std::size_t i = 0; i < std::size(kFonts); ++i) {
    LOGFONTW lf{};
    lf.lfHeight = -kFonts[i].height;
    lf.lfWeight = kFonts[i].bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = kFonts[i].charset;
    lstrcpynW(lf.lfFaceName, kFonts[i].face, LF_FACESIZE);
    fonts[i].reset(CreateFontIndirectW(&lf));
    gFonts[i] = fonts[i].get();
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  for (const DialogDef& d : kDialogs) {
    wc.lpszClassName = d.className;
    if (!RegisterClassExW(&wc)) return 1;
  }
  // The hidden ones first, the main dialog last: it shows as it is created.
  for (std::size_t i = std::size(kDialogs); i-- > 0;) {
    const DialogDef& d = kDialogs[i];
    if (!CreateDialogParamW(instance, d.className, nullptr, DialogProc, reinterpret_cast<LPARAM>(&d))) return 1;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageW(top, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
