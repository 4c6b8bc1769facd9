// The tables the start-up yardstick sets its dialogs' controls up from; layout_dialog writes
// them from the window layouts, next to the dialog templates.
#pragma once

namespace bench {

enum class Kind { Label, Button, CheckBox, GroupBox, ComboBox, HotKey };

struct FontDef {
  const wchar_t* face;
  int height;  // character height in pixels
  bool bold;
  unsigned char charset;
};

struct ControlDef {
  int id;
  Kind kind;
  int font;        // index into kFonts
  int height;      // laid out, in pixels (a combo box: closed)
  int itemHeight;  // combo box rows; 0: the font's height
  int firstItem;   // index into kItems
  int itemCount;
};

struct DialogDef {
  const wchar_t* className;  // also the template's name
  int font;                  // the window's own font
  int firstControl;          // index into kControls
  int controlCount;
};

}  // namespace bench
