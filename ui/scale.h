// The layouts at a display's scale. Layouts are given in pixels at 96 dots per inch; a window
// at another dpi scales every figure by dpi / 96, rounded as MulDiv rounds (to the nearest
// pixel, halves away from zero). At 96 everything is exactly as laid out.
//
// Rectangles are scaled by their edges in the window's client area, so controls that meet or
// share an edge at 96 still do, and a control inside a group box stays inside it. Font heights
// stay character heights.
#pragma once

#include <vector>

#include "ui/layout.h"

namespace ui {

inline constexpr int kLayoutDpi = 96;

// MulDiv(pixels, dpi, 96).
int ScalePixels(int pixels, int dpi);
Rect ScaleRect(const Rect& r, int dpi);
FontSpec ScaleFont(FontSpec font, int dpi);
// How far a disabled label's highlight copy is shifted right and down: 1 px at 96 and below,
// round(dpi / 96) above.
int EmbossOffset(int dpi);

struct ScaledControl {
  const ControlSpec* def;
  int id;
  Rect bounds;  // within the window's client area
  FontSpec font;
  int itemHeight = 0;  // combo box: the height of a row of its list
  int listHeight = 0;  // combo box: its dropped list, frame included
};

struct ScaledForm {
  int dpi = kLayoutDpi;
  int clientWidth = 0;
  int clientHeight = 0;
  FontSpec font;                        // the window's own
  std::vector<ScaledControl> controls;  // in Flatten's order
};

// The form as a window at `dpi` places it. `form` must outlive the result.
ScaledForm ScaleForm(const FormSpec& form, int dpi);

}  // namespace ui
