#include "ui/scale.h"

#include <algorithm>
#include <cstdint>

namespace ui {

int ScalePixels(int pixels, int dpi) {
  const std::int64_t product = static_cast<std::int64_t>(pixels) * dpi;
  const std::int64_t half = kLayoutDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi : -((-product + half) / kLayoutDpi));
}

Rect ScaleRect(const Rect& r, int dpi) {
  const int left = ScalePixels(r.left, dpi);
  const int top = ScalePixels(r.top, dpi);
  return {left, top, ScalePixels(r.left + r.width, dpi) - left, ScalePixels(r.top + r.height, dpi) - top};
}

FontSpec ScaleFont(FontSpec font, int dpi) {
  font.height = ScalePixels(font.height, dpi);
  return font;
}

int EmbossOffset(int dpi) { return std::max(1, ScalePixels(1, dpi)); }

ScaledForm ScaleForm(const FormSpec& form, int dpi) {
  ScaledForm scaled;
  scaled.dpi = dpi;
  scaled.clientWidth = ScalePixels(form.clientWidth, dpi);
  scaled.clientHeight = ScalePixels(form.clientHeight, dpi);
  scaled.font = ScaleFont(form.font, dpi);
  for (const PlacedControl& placed : Flatten(form)) {
    ScaledControl control{placed.def, placed.id, ScaleRect(placed.bounds, dpi), ScaleFont(placed.def->font, dpi)};
    if (placed.def->kind == ControlKind::ComboBox) {
      // A row is as high as the layout says, and never lower than its font.
      control.itemHeight = placed.def->itemHeight > 0 ? ScalePixels(placed.def->itemHeight, dpi) : control.font.height;
      const int row = std::max(control.itemHeight, control.font.height);
      control.listHeight = static_cast<int>(placed.def->items.size()) * row + 2;  // the list's one-pixel frame
    }
    scaled.controls.push_back(control);
  }
  return scaled;
}

}  // namespace ui
