// TFm_main: the main settings window, built from the layout TFM_MAIN. It shows the registration
// wish and the options, holds the shortcut values and the 180-degree flag in its fields, loads
// everything when it is created, commits on OK and ends the program when it closes. Loading
// and the commit use the one options location it is given.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "settings/options.h"
#include "settings/registry_store.h"
#include "ui/form.h"

namespace ui {

// The check boxes of the options, each with the value it shows.
struct OptionCheckBox {
  const char* control;
  bool settings::Options::*value;
};
inline constexpr OptionCheckBox kOptionCheckBoxes[] = {
    {"chk_AllowBreakDCF", &settings::Options::gAllowBreakDCF},
    {"chk_KeepTimeStamp_Create", &settings::Options::gKeepTimeStamp_Create},
    {"chk_KeepTimeStamp_Write", &settings::Options::gKeepTimeStamp_Write},
    {"chk_AllowAdjustMCU", &settings::Options::gAllowAdjustMCU},
    {"Chk_NotShowWarning", &settings::Options::gNotShowWarning},
};

// The controls of the main window that its handlers work with, resolved once it is built.
struct MainControls {
  std::array<HWND, 3> registRow{};    // Btn_Regist and its two labels
  std::array<HWND, 4> unRegistRow{};  // Btn_UnRegist and its three labels
  HWND cbo_SaveMethod = nullptr;
  std::array<HWND, std::size(kOptionCheckBoxes)> optionChecks{};  // as kOptionCheckBoxes
};

class TFm_main final : public FormOf<TFm_main> {
public:
  TFm_main(Host& host, settings::RegistryStore& store, settings::OptionsLocation optionsAt = {});

  std::uint16_t gHotKey_90 = 0;
  std::uint16_t gHotKey_180 = 0;
  std::uint16_t gHotKey_270 = 0;
  bool gAddMenu180 = false;
  bool gRegistered = false;

  void FormCreate(HWND sender);
  void UpdateRegistControls();
  void Btn_RegistClick(HWND sender);
  void Btn_OKClick(HWND sender);
  void Btn_CancelClick(HWND sender);
  void Btn_SubClick(HWND sender);
  std::int32_t getSaveMethod() const;
  void setSaveMethod(std::int32_t code);

  // The option values as the window shows them, and the other way.
  settings::Options CurrentOptions() const;
  void ShowOptions(const settings::Options& options);

  static std::span<const Handler> Handlers();

protected:
  void ResolveControls() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnClose() override;

private:
  settings::RegistryStore& store_;
  const settings::OptionsLocation optionsAt_;
  MainControls controls_;
};

extern TFm_main* Fm_main;

}  // namespace ui
