#include "ui/message_loop.h"

#include <exception>

#include "base/exception.h"
#include "ui/form.h"

namespace ui {

void ShowCurrentException(Host& host) noexcept {
  try {
    try {
      throw;
    } catch (const base::Exception& e) {
      host.ShowError(e.Message());
    } catch (const std::exception& e) {
      host.ShowError(e.what());
    } catch (...) {
      host.ShowError("Unknown error");
    }
  } catch (...) {
    // Nothing more can be shown when the error box itself fails.
  }
}

void ProcessMessage(MSG& msg) {
  HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  Form* form = top ? Form::FromHandle(top) : nullptr;
  if (form) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      // Without this the dialog manager would turn Enter and Escape into IDOK and IDCANCEL;
      // a control that wants the key (an open drop-down list) still gets it.
      const LRESULT wants = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
      if (!(wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
        if (msg.wParam == VK_RETURN) form->ClickFocusedButton(msg.hwnd);
        return;
      }
    } else if (IsDialogMessageW(top, &msg)) {
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace ui
