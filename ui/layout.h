// Window layouts as data. A layout is UTF-8 text, one statement a line; `#` starts a comment
// line, tokens are separated by blanks, texts are in double quotes (\" and \\ inside).
//
//   form <Class> <Instance>              starts the layout (the instance name is not used); the
//                                        window's properties follow
//     caption "<text>"
//     client <width> <height>            client area in pixels
//     font "<face>" <height> [bold] <ansi|shiftjis>
//     icon <resource name>               optional
//     ids <first>                        control IDs: first + position in the layout
//     on <Event> <Handler>               window events: Create
//   control <Name> <kind> <parent> <left> <top> <width> <height>
//     text "<text>"
//     font ["<face>"] <height> [bold] [ansi|shiftjis]   face and charset default to the parent's
//     tab <n>                            tab order within the parent
//     item "<text>"                      a row of a combo box, in order
//     itemheight <n>                     combo box rows
//     on <Event> <Handler>               Click (button, checkbox), Change (hotkey)
//
// Kinds: label, button, checkbox, groupbox, combobox, hotkey. The parent is `window` or a group
// box named earlier. Font heights are character heights (without internal leading). A control
// without a font line takes its parent's font. Controls that take the focus (button, checkbox,
// combobox, hotkey) need a tab; labels have none; a group box may have one for its place.
// ParseLayout checks all of this and throws LayoutError, with the line, on any fault; handler
// names are bound (and checked) by the window that is built from the layout.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class LayoutError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class ControlKind { Label, Button, CheckBox, GroupBox, ComboBox, HotKey };
enum class Charset : std::uint8_t { Ansi = 0, ShiftJis = 128 };

struct FontSpec {
  std::string face;
  int height = 0;  // character height in pixels
  bool bold = false;
  Charset charset = Charset::Ansi;

  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

// The events a layout can bind; their names in the layout are the enumerators' names.
enum class Event { Click, Change, Create };
const char* EventName(Event event);

struct EventSpec {
  Event event = Event::Click;
  std::string handler;
};

struct ControlSpec {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string parent;  // empty: the window
  Rect bounds;         // within the parent
  std::string text;
  FontSpec font;  // resolved: the parent's where the layout gives none
  int tab = -1;   // -1: none
  std::vector<std::string> items;
  int itemHeight = 0;
  std::vector<EventSpec> events;
};

struct FormSpec {
  std::string className;
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  FontSpec font;
  std::string icon;
  int firstId = 100;
  std::vector<EventSpec> events;
  std::vector<ControlSpec> controls;  // in layout order

  const ControlSpec* Find(std::string_view name) const;
};

FormSpec ParseLayout(std::string_view text);

bool TakesFocus(ControlKind kind);
const char* KindName(ControlKind kind);

// A control as the window creates it: every control is a child of the window itself, placed
// relative to the window's client area. Order = creation order = tab order: within a parent,
// by tab, a control without one keeping its place before the next control in the layout that
// has one; a group box's children follow the group box.
struct PlacedControl {
  const ControlSpec* def;
  Rect bounds;  // within the window's client area
  int id;       // firstId + position in the layout
};
std::vector<PlacedControl> Flatten(const FormSpec& form);

}  // namespace ui
