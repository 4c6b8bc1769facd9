// The control factory: creates one control of a layout as a real child of its window, with the
// class and styles of its kind, its font, its text, all at the window's dpi (ui/scale.h), and
// the corrections each kind needs:
//
// - a label is sized to its one line of text, never smaller than laid out;
// - a combo box gets its rows and takes the layout's height when closed, corrected by what the
//   system measures;
// - a hot-key field refuses every modifier combination (a key pressed with modifiers is taken as
//   the bare key) and starts empty.
//
// The window must not report a Change while the control is created (Form::QuietScope).
#pragma once

#include <windows.h>

#include "ui/font_cache.h"
#include "ui/layout.h"
#include "ui/scale.h"

namespace ui {

// `measure` is a memory DC like the screen's, for the labels' text. Throws when the control
// cannot be created.
HWND CreateControl(HWND window, const ScaledControl& placed, FontCache& fonts, HDC measure);
// Gives a created control its font, place and size at another dpi, with the same corrections.
void PlaceControl(HWND control, const ScaledControl& placed, FontCache& fonts, HDC measure);

// The rectangle a control is created with, within the window's client area: already its final
// size (a label's measured, a drop-down list's with its list).
Rect ControlRect(const ScaledControl& placed, FontCache& fonts, HDC measure);

}  // namespace ui
