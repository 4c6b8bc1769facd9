// Owner-draw for the windows' labels and combo boxes, in the window's WM_DRAWITEM and
// WM_MEASUREITEM: a label draws its one line in its font, embossed when disabled; a combo box
// row draws its text in the box's font, highlighted when selected, grey when the box is
// disabled; rows take the layout's item height and the closed box's field the layout's height.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace ui {

void DrawLabel(const DRAWITEMSTRUCT& item);
void DrawComboItem(const DRAWITEMSTRUCT& item);
// The height of a row (or, for item -1, of the selection field) of a laid-out combo box.
UINT ComboItemHeight(const PlacedControl& placed, UINT itemID);

}  // namespace ui
