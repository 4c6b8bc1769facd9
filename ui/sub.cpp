#include "ui/sub.h"

#include "ui/disabled_windows.h"
#include "ui/option.h"
#include "ui/shortcut.h"

namespace ui {

TFm_Sub* Fm_Sub = nullptr;

TFm_Sub::TFm_Sub(Host& host) : FormOf(host, ResourceText(L"TFM_SUB")) { Build(); }

std::span<const TFm_Sub::Handler> TFm_Sub::Handlers() {
  static const Handler handlers[] = {
      {"HotKey_90Change", &TFm_Sub::HotKey_90Change},   {"HotKey_180Change", &TFm_Sub::HotKey_180Change},
      {"HotKey_270Change", &TFm_Sub::HotKey_270Change}, {"Btn_OKClick", &TFm_Sub::Btn_OKClick},
      {"Btn_CancelClick", &TFm_Sub::Btn_CancelClick},
  };
  return handlers;
}

void TFm_Sub::ResolveControls() {
  controls_.HotKey_90 = Control("HotKey_90");
  controls_.HotKey_180 = Control("HotKey_180");
  controls_.HotKey_270 = Control("HotKey_270");
  controls_.Chk_gAddMenu180 = Control("Chk_gAddMenu180");
}

void TFm_Sub::Filter(THotKey field) {
  if (!IsAllowedShortCut(field.HotKey())) field.SetHotKey(0);
}

void TFm_Sub::HotKey_90Change(HWND) { Filter(HotKey_90()); }
void TFm_Sub::HotKey_180Change(HWND) { Filter(HotKey_180()); }
void TFm_Sub::HotKey_270Change(HWND) { Filter(HotKey_270()); }

void TFm_Sub::Btn_OKClick(HWND) {
  if (Fm_main) {
    Fm_main->gHotKey_90 = HotKey_90().HotKey();
    Fm_main->gHotKey_180 = HotKey_180().HotKey();
    Fm_main->gHotKey_270 = HotKey_270().HotKey();
    Fm_main->gAddMenu180 = IsChecked(controls_.Chk_gAddMenu180);
  }
  Close();
}

void TFm_Sub::Btn_CancelClick(HWND) { Close(); }

void TFm_Sub::OnClose() {
  if (modal_)
    modalResult_ = kModalResultCancel;
  else
    ShowWindow(Handle(), SW_HIDE);
}

int TFm_Sub::ShowModal() {
  HWND self = Handle();
  HWND previous = GetActiveWindow();
  {
    const DisabledWindows waiting(self, {host_.Owner(), Fm_main ? Fm_main->Handle() : nullptr});
    RunModal();
    // Enabled (when `waiting` ends) before hiding, so that the activation goes back to the
    // window the user came from.
  }
  ShowWindow(self, SW_HIDE);
  if (previous && IsWindow(previous) && previous != self) SetActiveWindow(previous);
  return kModalResultCancel;
}

void TFm_Sub::RunModal() {
  HWND self = Handle();
  if (!shownBefore_) CenterOnScreen();
  shownBefore_ = true;
  modal_ = true;
  modalResult_ = 0;
  ShowWindow(self, SW_SHOW);
  SetActiveWindow(self);
  MSG msg;
  while (modalResult_ == 0) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the run loop ends the program
      modalResult_ = kModalResultCancel;
      break;
    }
    if (got == -1) break;
    try {
      ProcessMessage(msg);
    } catch (...) {
      ShowCurrentException(host_);
    }
  }
  modal_ = false;
}

}  // namespace ui
