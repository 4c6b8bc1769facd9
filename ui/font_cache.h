// FontCache: the fonts of one window, one GDI font for each distinct font of its layout,
// created on first use and deleted with the cache.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "ui/layout.h"
#include "ui/win.h"

namespace ui {

class FontCache {
public:
  // The font for a layout font: its character height (internal leading excluded), weight,
  // character set and face. Throws when the system cannot create it.
  HFONT Get(const FontSpec& def);

private:
  std::vector<std::pair<FontSpec, FontHandle>> fonts_;
};

}  // namespace ui
