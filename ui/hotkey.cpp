#include "ui/hotkey.h"

#include <commctrl.h>

#include "ui/shortcut.h"

namespace ui {

std::uint16_t THotKey::HotKey() const {
  return ShortCutFromHotKey(static_cast<std::uint16_t>(SendMessageW(control_, HKM_GETHOTKEY, 0, 0)));
}

void THotKey::SetHotKey(std::uint16_t value) {
  const Form::QuietScope quiet(*form_);
  SendMessageW(control_, HKM_SETHOTKEY, HotKeyFromShortCut(value), 0);
}

}  // namespace ui
