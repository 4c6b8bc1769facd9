// layout_dialog: writes the program's window layouts as dialog templates, for the start-up
// yardstick (tests/bench/template_window.cpp). Runs on the build machine.
//
//   layout_dialog OUT_RC OUT_H BASE_X BASE_Y LAYOUT...
//
// OUT_RC gets one DIALOGEX per layout, named by the layout's class name, its controls in the
// order (= tab order) the program creates them, with the program's class names and styles; the
// first layout's dialog is visible, the others hidden. Pixels become dialog units at the dialog
// base units BASE_X x BASE_Y (what GetDialogBaseUnits gives where the yardstick runs), rounded.
// OUT_H gets the tables the yardstick sets the controls up from (tests/bench/dialog_table.h):
// the distinct fonts of all layouts, and per control its id, kind, font, items and row heights.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ui/layout.h"

namespace {

using ui::ControlKind;

// The window class and style of each kind, as ui/form.cpp creates the controls.
struct KindStyle {
  const char* windowClass;
  const char* style;
  const char* exStyle;
  const char* tableName;
};

KindStyle StyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return {"\"STATIC\"", "SS_OWNERDRAW", "0", "Label"};
    case ControlKind::Button: return {"\"BUTTON\"", "BS_PUSHBUTTON | WS_TABSTOP", "0", "Button"};
    case ControlKind::CheckBox: return {"\"BUTTON\"", "BS_AUTOCHECKBOX | WS_TABSTOP", "0", "CheckBox"};
    case ControlKind::GroupBox: return {"\"BUTTON\"", "BS_GROUPBOX", "0", "GroupBox"};
    case ControlKind::ComboBox:
      return {"\"COMBOBOX\"", "CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP", "0",
              "ComboBox"};
    case ControlKind::HotKey: return {"\"msctls_hotkey32\"", "WS_TABSTOP", "WS_EX_CLIENTEDGE", "HotKey"};
  }
  return {};
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A resource-script string: UTF-8 as it is (the script says code page 65001), "" for ".
std::string RcText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// A C++ wide string literal: printable ASCII as it is, everything else as a universal name.
std::string WideLiteral(const std::string& utf8) {
  std::string out = "L\"";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; k < length && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    i += length;
    if (code == '"' || code == '\\') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (code >= 0x20 && code < 0x7F) {
      out += static_cast<char>(code);
    } else {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, code > 0xFFFF ? "\\U%08X" : "\\u%04X", static_cast<unsigned>(code));
      out += buffer;
    }
  }
  return out + "\"";
}

class Generator {
public:
  Generator(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  void Add(const ui::FormSpec& form, bool visible);
  std::string Script() const { return rc_.str(); }
  std::string Tables() const;

private:
  int Font(const ui::FontSpec& font);
  int X(int pixels) const { return (pixels * 4 * 2 + baseX_) / (2 * baseX_); }
  int Y(int pixels) const { return (pixels * 8 * 2 + baseY_) / (2 * baseY_); }

  int baseX_;
  int baseY_;
  std::ostringstream rc_;
  std::ostringstream controls_;
  std::ostringstream forms_;
  std::vector<ui::FontSpec> fonts_;
  int items_ = 0;
  int controlCount_ = 0;
  std::ostringstream itemTexts_;
};

int Generator::Font(const ui::FontSpec& font) {
  const auto it = std::find(fonts_.begin(), fonts_.end(), font);
  if (it != fonts_.end()) return static_cast<int>(it - fonts_.begin());
  fonts_.push_back(font);
  return static_cast<int>(fonts_.size() - 1);
}

void Generator::Add(const ui::FormSpec& form, bool visible) {
  const std::vector<ui::PlacedControl> placed = ui::Flatten(form);
  rc_ << "\n"
      << form.className << " DIALOGEX 0, 0, " << X(form.clientWidth) << ", " << Y(form.clientHeight) << "\n"
      << "STYLE DS_CENTER | WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX"
      << (visible ? " | WS_VISIBLE" : "") << "\n"
      << "EXSTYLE WS_EX_WINDOWEDGE\n"
      << "CLASS " << RcText(form.className) << "\n"
      << "CAPTION " << RcText(form.caption) << "\n"
      << "BEGIN\n";
  const int firstControl = controlCount_;
  controlCount_ += static_cast<int>(placed.size());
  for (const ui::PlacedControl& p : placed) {
    const ui::ControlSpec& def = *p.def;
    const KindStyle style = StyleOf(def.kind);
    int height = p.bounds.height;
    // A drop-down list's height includes its list, as the program creates it.
    if (def.kind == ControlKind::ComboBox)
      height += static_cast<int>(def.items.size()) * std::max(def.itemHeight, def.font.height) + 2;
    rc_ << "  CONTROL " << RcText(def.text) << ", " << p.id << ", " << style.windowClass << ", WS_CHILD | WS_VISIBLE | "
        << style.style << ", " << X(p.bounds.left) << ", " << Y(p.bounds.top) << ", " << X(p.bounds.width) << ", "
        << Y(height) << ", " << style.exStyle << "\n";
    controls_ << "    {" << p.id << ", Kind::" << style.tableName << ", " << Font(def.font) << ", " << p.bounds.height
              << ", " << def.itemHeight << ", " << items_ << ", " << def.items.size() << "},\n";
    for (const std::string& item : def.items) itemTexts_ << "    " << WideLiteral(item) << ",\n";
    items_ += static_cast<int>(def.items.size());
  }
  rc_ << "END\n";
  forms_ << "    {" << WideLiteral(form.className) << ", " << Font(form.font) << ", " << firstControl << ", "
         << placed.size() << "},\n";
}

std::string Generator::Tables() const {
  std::ostringstream out;
  out << "// Generated by layout_dialog from the window layouts; not to be edited.\n"
      << "#pragma once\n#include \"tests/bench/dialog_table.h\"\nnamespace bench {\n"
      << "inline constexpr FontDef kFonts[] = {\n";
  for (const ui::FontSpec& f : fonts_)
    out << "    {" << WideLiteral(f.face) << ", " << f.height << ", " << (f.bold ? "true" : "false") << ", "
        << static_cast<int>(f.charset) << "},\n";
  out << "};\ninline constexpr const wchar_t* kItems[] = {\n"
      << itemTexts_.str() << "    nullptr,\n};\n"
      << "inline constexpr ControlDef kControls[] = {\n"
      << controls_.str() << "};\n"
      << "inline constexpr DialogDef kDialogs[] = {\n"
      << forms_.str() << "};\n}  // namespace bench\n";
  return out.str();
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::cerr << "usage: layout_dialog OUT_RC OUT_H BASE_X BASE_Y LAYOUT...\n";
    return 1;
  }
  try {
    const int baseX = std::stoi(argv[3]);
    const int baseY = std::stoi(argv[4]);
    if (baseX <= 0 || baseY <= 0) throw std::runtime_error("dialog base units must be positive");
    Generator generator(baseX, baseY);
    for (int i = 5; i < argc; ++i) generator.Add(ui::ParseLayout(ReadFile(argv[i])), i == 5);
    Write(argv[1],
          "// Generated by layout_dialog from the window layouts; not to be edited.\n"
          "#pragma code_page(65001)\n#include <windows.h>\n#include <commctrl.h>\n" +
              generator.Script());
    Write(argv[2], generator.Tables());
  } catch (const std::exception& e) {
    std::cerr << "layout_dialog: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
