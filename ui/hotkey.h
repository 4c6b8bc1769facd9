// THotKey: a shortcut field on the platform's key-capture control "msctls_hotkey32". It reads
// and sets shortcut values (ui/shortcut.h); a value set by the program reports no change, even
// where the control would send its change notification.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/form.h"

namespace ui {

class THotKey {
public:
  THotKey(Form& form, HWND control) : form_(&form), control_(control) {}

  HWND Handle() const { return control_; }
  std::uint16_t HotKey() const;
  void SetHotKey(std::uint16_t value);

private:
  Form* form_;
  HWND control_;
};

}  // namespace ui
