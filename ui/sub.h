// TFm_Sub: the detail settings dialog, built from the layout TFM_SUB. It edits copies of the
// main window's shortcut values and 180-degree flag and hands them back on its OK only. It is
// created hidden, lives until the program ends, and opens modally: the program's other windows
// are disabled until it closes. Closing hides it; later openings show it where it was.
#pragma once

#include <span>

#include "ui/form.h"
#include "ui/hotkey.h"

namespace ui {

// The controls of the detail dialog that its handlers work with, resolved once it is built.
struct SubControls {
  HWND HotKey_90 = nullptr;
  HWND HotKey_180 = nullptr;
  HWND HotKey_270 = nullptr;
  HWND Chk_gAddMenu180 = nullptr;
};

class TFm_Sub final : public FormOf<TFm_Sub> {
public:
  static constexpr int kModalResultCancel = 2;

  explicit TFm_Sub(Host& host);

  THotKey HotKey_90() { return THotKey(*this, controls_.HotKey_90); }
  THotKey HotKey_180() { return THotKey(*this, controls_.HotKey_180); }
  THotKey HotKey_270() { return THotKey(*this, controls_.HotKey_270); }
  HWND Chk_gAddMenu180() const { return controls_.Chk_gAddMenu180; }

  void HotKey_90Change(HWND sender);
  void HotKey_180Change(HWND sender);
  void HotKey_270Change(HWND sender);
  void Btn_OKClick(HWND sender);
  void Btn_CancelClick(HWND sender);

  // Shows the dialog and runs its messages until it closes; the result is always
  // kModalResultCancel.
  int ShowModal();

  static std::span<const Handler> Handlers();

protected:
  void ResolveControls() override;
  void OnClose() override;

private:
  void Filter(THotKey field);
  void RunModal();  // shown and run until it closes

  SubControls controls_;
  bool modal_ = false;
  int modalResult_ = 0;
  bool shownBefore_ = false;
};

extern TFm_Sub* Fm_Sub;

}  // namespace ui
