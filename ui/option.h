// TFm_main: the main settings window, built from the layout TFM_MAIN. It shows the registration
// wish and the options, holds the shortcut values and the 180-degree flag in its fields, loads
// everything when it is created, commits on OK and ends the program when it closes. Loading
// and the commit use the one options location it is given.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "settings/options.h"
#include "settings/registry_store.h"
#include "ui/form.h"

namespace ui {

class TFm_main final : public FormOf<TFm_main> {
public:
  TFm_main(Host& host, settings::RegistryStore& store, settings::OptionsLocation optionsAt = {});
  TFm_main(Host& host, settings::RegistryStore& store, std::string_view layoutText,
           settings::OptionsLocation optionsAt = {});

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
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnClose() override;

private:
  settings::RegistryStore& store_;
  const settings::OptionsLocation optionsAt_;
};

extern TFm_main* Fm_main;

}  // namespace ui
