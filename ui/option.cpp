#include "ui/option.h"

#include <iterator>
#include <utility>

#include "registration/commit.h"
#include "ui/sub.h"

namespace ui {

TFm_main* Fm_main = nullptr;

TFm_main::TFm_main(Host& host, settings::RegistryStore& store, settings::OptionsLocation optionsAt)
    : FormOf(host, ResourceText(L"TFM_MAIN")), store_(store), optionsAt_(std::move(optionsAt)) {
  Build();
}

std::span<const TFm_main::Handler> TFm_main::Handlers() {
  static const Handler handlers[] = {
      {"FormCreate", &TFm_main::FormCreate},     {"Btn_RegistClick", &TFm_main::Btn_RegistClick},
      {"Btn_OKClick", &TFm_main::Btn_OKClick},   {"Btn_CancelClick", &TFm_main::Btn_CancelClick},
      {"Btn_SubClick", &TFm_main::Btn_SubClick},
  };
  return handlers;
}

void TFm_main::ResolveControls() {
  static constexpr const char* kRegistRow[] = {"Btn_Regist", "Lbl_Regist1", "Lbl_Regist2"};
  static constexpr const char* kUnRegistRow[] = {"Btn_UnRegist", "Lbl_UnRegist1", "Lbl_UnRegist2", "Lbl_UnRegist3"};
  for (std::size_t i = 0; i < std::size(kRegistRow); ++i) controls_.registRow[i] = Control(kRegistRow[i]);
  for (std::size_t i = 0; i < std::size(kUnRegistRow); ++i) controls_.unRegistRow[i] = Control(kUnRegistRow[i]);
  controls_.cbo_SaveMethod = Control("cbo_SaveMethod");
  for (std::size_t i = 0; i < std::size(kOptionCheckBoxes); ++i)
    controls_.optionChecks[i] = Control(kOptionCheckBoxes[i].control);
}

void TFm_main::FormCreate(HWND) {
  const settings::LoadedOptions loaded = settings::LoadOptions(store_, optionsAt_);
  // The window shows what could be read and rows that match the wish, also when a value
  // could not be read; the error then goes on to the error box.
  ShowOptions(loaded.options);
  gRegistered = loaded.gRegistered;
  UpdateRegistControls();
  if (loaded.failure) std::rethrow_exception(loaded.failure);
}

void TFm_main::UpdateRegistControls() {
  HWND focus = GetFocus();
  for (HWND control : controls_.registRow) Enable(control, !gRegistered);
  for (HWND control : controls_.unRegistRow) Enable(control, gRegistered);
  // The focus moves from the button that was just disabled to the one that was enabled.
  if (focus && !IsWindowEnabled(focus) && GetParent(focus) == Handle())
    SetFocus(gRegistered ? controls_.unRegistRow[0] : controls_.registRow[0]);
}

void TFm_main::Btn_RegistClick(HWND) {
  gRegistered = !gRegistered;
  UpdateRegistControls();
}

void TFm_main::Btn_OKClick(HWND) {
  // The path is decided from the wide name: the ANSI one may name another folder.
  registration::Commit(store_, optionsAt_, gRegistered, CurrentOptions(),
                       registration::AnsiProgramPath(ModulePathWide(), store_.AnsiCodePage()));
  Close();
}

void TFm_main::Btn_CancelClick(HWND) { Close(); }

void TFm_main::Btn_SubClick(HWND) {
  if (!Fm_Sub) return;
  Fm_Sub->HotKey_90().SetHotKey(gHotKey_90);
  Fm_Sub->HotKey_180().SetHotKey(gHotKey_180);
  Fm_Sub->HotKey_270().SetHotKey(gHotKey_270);
  SetChecked(Fm_Sub->Chk_gAddMenu180(), gAddMenu180);
  Fm_Sub->ShowModal();
}

std::int32_t TFm_main::getSaveMethod() const {
  const auto row = static_cast<int>(SendMessageW(controls_.cbo_SaveMethod, CB_GETCURSEL, 0, 0));
  return settings::SaveMethodFromRow(row);
}

void TFm_main::setSaveMethod(std::int32_t code) {
  if (const auto row = settings::RowFromSaveMethod(code))
    SendMessageW(controls_.cbo_SaveMethod, CB_SETCURSEL, static_cast<WPARAM>(*row), 0);
}

settings::Options TFm_main::CurrentOptions() const {
  settings::Options options;
  options.gSaveMethod = getSaveMethod();
  for (std::size_t i = 0; i < std::size(kOptionCheckBoxes); ++i)
    options.*kOptionCheckBoxes[i].value = IsChecked(controls_.optionChecks[i]);
  options.gHotKey_90 = gHotKey_90;
  options.gHotKey_180 = gHotKey_180;
  options.gHotKey_270 = gHotKey_270;
  options.gAddMenu180 = gAddMenu180;
  return options;
}

void TFm_main::ShowOptions(const settings::Options& options) {
  setSaveMethod(0);
  setSaveMethod(options.gSaveMethod);
  for (std::size_t i = 0; i < std::size(kOptionCheckBoxes); ++i)
    SetChecked(controls_.optionChecks[i], options.*kOptionCheckBoxes[i].value);
  gHotKey_90 = options.gHotKey_90;
  gHotKey_180 = options.gHotKey_180;
  gHotKey_270 = options.gHotKey_270;
  gAddMenu180 = options.gAddMenu180;
}

LRESULT TFm_main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      // Minimising the main window minimises the application: its window carries the
      // taskbar entry.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        host_.Minimize();
        return 0;
      }
      break;
    case WM_DESTROY: host_.MainFormClosed(); return 0;
    default: break;
  }
  return Form::HandleMessage(message, wParam, lParam);
}

void TFm_main::OnClose() { DestroyWindow(Handle()); }

}  // namespace ui
