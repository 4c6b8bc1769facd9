#include "ui/layout.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <initializer_list>
#include <optional>
#include <set>

namespace ui {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

class Parser {
public:
  explicit Parser(std::string_view text) : text_(text) {}
  FormSpec Parse();

private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw LayoutError("layout line " + std::to_string(line_) + ": " + what);
  }
  std::vector<Token> Tokenize(std::string_view line) const;
  int Number(const Token& token) const;
  std::string Word(const Token& token) const;
  std::string Quoted(const Token& token) const;
  void Expect(const std::vector<Token>& tokens, std::size_t count) const;

  void FormLine(const std::vector<Token>& tokens);
  void ControlLine(const std::vector<Token>& tokens);
  void FormProperty(const std::string& keyword, const std::vector<Token>& tokens);
  void ControlProperty(ControlSpec& control, const std::string& keyword, const std::vector<Token>& tokens);
  FontSpec Font(const std::vector<Token>& tokens, const FontSpec& inherited, bool complete) const;
  EventSpec EventLine(const std::vector<Token>& tokens, std::initializer_list<Event> allowed) const;
  void Check() const;

  std::string_view text_;
  int line_ = 0;
  FormSpec form_;
  bool haveForm_ = false;
  bool haveFont_ = false;
  bool haveClient_ = false;
  std::vector<bool> haveFontLine_;
};

std::vector<Token> Parser::Tokenize(std::string_view line) const {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '"') {
      Token token{"", true};
      ++i;
      for (;;) {
        if (i >= line.size()) Fail("unterminated text");
        const char d = line[i++];
        if (d == '"') break;
        if (d == '\\') {
          if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) Fail("bad escape in text");
          token.text += line[i++];
        } else {
          token.text += d;
        }
      }
      tokens.push_back(std::move(token));
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"') ++i;
      tokens.push_back({std::string(line.substr(start, i - start)), false});
    }
  }
  return tokens;
}

int Parser::Number(const Token& token) const {
  int value = 0;
  const char* end = token.text.data() + token.text.size();
  const auto [ptr, ec] = std::from_chars(token.text.data(), end, value);
  if (token.quoted || ec != std::errc() || ptr != end) Fail("not a number: " + token.text);
  return value;
}

std::string Parser::Word(const Token& token) const {
  if (token.quoted || token.text.empty()) Fail("a name is needed, not \"" + token.text + "\"");
  return token.text;
}

std::string Parser::Quoted(const Token& token) const {
  if (!token.quoted) Fail("a text in double quotes is needed, not " + token.text);
  return token.text;
}

void Parser::Expect(const std::vector<Token>& tokens, std::size_t count) const {
  if (tokens.size() != count) Fail(tokens[0].text + " takes " + std::to_string(count - 1) + " arguments");
}

FormSpec Parser::Parse() {
  std::size_t pos = 0;
  while (pos <= text_.size()) {
    std::size_t end = text_.find('\n', pos);
    if (end == std::string_view::npos) end = text_.size();
    const std::string_view line = text_.substr(pos, end - pos);
    pos = end + 1;
    ++line_;
    const std::vector<Token> tokens = Tokenize(line);
    if (tokens.empty() || (!tokens[0].quoted && tokens[0].text[0] == '#')) continue;
    const std::string keyword = Word(tokens[0]);
    if (keyword == "form") {
      FormLine(tokens);
    } else if (!haveForm_) {
      Fail("the layout must start with a form line");
    } else if (keyword == "control") {
      ControlLine(tokens);
    } else if (form_.controls.empty()) {
      FormProperty(keyword, tokens);
    } else {
      ControlProperty(form_.controls.back(), keyword, tokens);
    }
  }
  Check();
  return std::move(form_);
}

void Parser::FormLine(const std::vector<Token>& tokens) {
  if (haveForm_) Fail("a second form line");
  Expect(tokens, 3);
  form_.className = Word(tokens[1]);
  Word(tokens[2]);  // the instance name: a name, not kept
  haveForm_ = true;
}

void Parser::FormProperty(const std::string& keyword, const std::vector<Token>& tokens) {
  if (keyword == "caption") {
    Expect(tokens, 2);
    form_.caption = Quoted(tokens[1]);
  } else if (keyword == "client") {
    Expect(tokens, 3);
    form_.clientWidth = Number(tokens[1]);
    form_.clientHeight = Number(tokens[2]);
    if (form_.clientWidth <= 0 || form_.clientHeight <= 0) Fail("client size must be positive");
    haveClient_ = true;
  } else if (keyword == "font") {
    form_.font = Font(tokens, FontSpec{}, true);
    haveFont_ = true;
  } else if (keyword == "icon") {
    Expect(tokens, 2);
    form_.icon = Word(tokens[1]);
  } else if (keyword == "ids") {
    Expect(tokens, 2);
    form_.firstId = Number(tokens[1]);
    // 1 and 2 are the dialog manager's OK and Cancel.
    if (form_.firstId < 3 || form_.firstId > 0xFF00) Fail("ids must lie in 3..65280");
  } else if (keyword == "on") {
    form_.events.push_back(EventLine(tokens, {Event::Create}));
  } else {
    Fail("unknown window property: " + keyword);
  }
}

void Parser::ControlLine(const std::vector<Token>& tokens) {
  if (!haveFont_) Fail("the window's font must come before the controls");
  Expect(tokens, 8);
  ControlSpec control;
  control.name = Word(tokens[1]);
  if (form_.Find(control.name) || control.name == "window") Fail("duplicate control name: " + control.name);
  const std::string kind = Word(tokens[2]);
  static constexpr ControlKind kKinds[] = {ControlKind::Label,    ControlKind::Button,   ControlKind::CheckBox,
                                           ControlKind::GroupBox, ControlKind::ComboBox, ControlKind::HotKey};
  const auto* found = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](ControlKind k) { return kind == KindName(k); });
  if (found == std::end(kKinds)) Fail("unknown control kind: " + kind);
  control.kind = *found;
  const std::string parent = Word(tokens[3]);
  if (parent == "window") {
    control.font = form_.font;
  } else {
    const ControlSpec* p = form_.Find(parent);
    if (!p) Fail("unknown parent: " + parent);
    if (p->kind != ControlKind::GroupBox) Fail("parent is no group box: " + parent);
    control.parent = parent;
    control.font = p->font;
  }
  control.bounds = {Number(tokens[4]), Number(tokens[5]), Number(tokens[6]), Number(tokens[7])};
  if (control.bounds.width < 0 || control.bounds.height < 0) Fail("negative size");
  form_.controls.push_back(std::move(control));
  haveFontLine_.push_back(false);
}

void Parser::ControlProperty(ControlSpec& control, const std::string& keyword, const std::vector<Token>& tokens) {
  if (keyword == "text") {
    Expect(tokens, 2);
    control.text = Quoted(tokens[1]);
  } else if (keyword == "font") {
    if (haveFontLine_.back()) Fail("a second font line");
    haveFontLine_.back() = true;
    const ControlSpec* parent = control.parent.empty() ? nullptr : form_.Find(control.parent);
    control.font = Font(tokens, parent ? parent->font : form_.font, false);
  } else if (keyword == "tab") {
    Expect(tokens, 2);
    control.tab = Number(tokens[1]);
    if (control.tab < 0) Fail("negative tab");
  } else if (keyword == "item") {
    Expect(tokens, 2);
    if (control.kind != ControlKind::ComboBox) Fail("only a combobox has items");
    control.items.push_back(Quoted(tokens[1]));
  } else if (keyword == "itemheight") {
    Expect(tokens, 2);
    if (control.kind != ControlKind::ComboBox) Fail("only a combobox has an item height");
    control.itemHeight = Number(tokens[1]);
    if (control.itemHeight <= 0) Fail("item height must be positive");
  } else if (keyword == "on") {
    switch (control.kind) {
      case ControlKind::Button:
      case ControlKind::CheckBox: control.events.push_back(EventLine(tokens, {Event::Click})); break;
      case ControlKind::HotKey: control.events.push_back(EventLine(tokens, {Event::Change})); break;
      default: EventLine(tokens, {});
    }
  } else {
    Fail("unknown control property: " + keyword);
  }
}

FontSpec Parser::Font(const std::vector<Token>& tokens, const FontSpec& inherited, bool complete) const {
  FontSpec font = inherited;
  font.bold = false;
  std::size_t i = 1;
  if (i < tokens.size() && tokens[i].quoted) {
    font.face = tokens[i++].text;
    if (font.face.empty()) Fail("empty font face");
  } else if (complete) {
    Fail("the window's font needs a face");
  }
  if (i >= tokens.size()) Fail("font needs a height");
  font.height = Number(tokens[i++]);
  if (font.height <= 0) Fail("font height must be positive");
  if (i < tokens.size() && !tokens[i].quoted && tokens[i].text == "bold") {
    font.bold = true;
    ++i;
  }
  if (i < tokens.size()) {
    const std::string charset = Word(tokens[i++]);
    if (charset == "ansi")
      font.charset = Charset::Ansi;
    else if (charset == "shiftjis")
      font.charset = Charset::ShiftJis;
    else
      Fail("unknown character set: " + charset);
  } else if (complete) {
    Fail("the window's font needs a character set");
  }
  if (i != tokens.size()) Fail("too many font arguments");
  return font;
}

EventSpec Parser::EventLine(const std::vector<Token>& tokens, std::initializer_list<Event> allowed) const {
  Expect(tokens, 3);
  const std::string name = Word(tokens[1]);
  static constexpr Event kEvents[] = {Event::Click, Event::Change, Event::Create};
  const auto* known = std::find_if(std::begin(kEvents), std::end(kEvents),
                                   [&](Event e) { return name == EventName(e); });
  if (known == std::end(kEvents)) Fail("unknown event: " + name);
  if (std::find(allowed.begin(), allowed.end(), *known) == allowed.end()) Fail("no event " + name + " here");
  return {*known, Word(tokens[2])};
}

void Parser::Check() const {
  if (!haveForm_) throw LayoutError("layout: no form line");
  if (!haveClient_ || !haveFont_) throw LayoutError("layout: the window needs client and font");
  std::set<std::pair<std::string, int>> tabs;
  for (const ControlSpec& control : form_.controls) {
    const std::string where = "layout, control " + control.name + ": ";
    if (TakesFocus(control.kind) && control.tab < 0) throw LayoutError(where + "needs a tab");
    if (control.kind == ControlKind::Label && control.tab >= 0) throw LayoutError(where + "a label takes no tab");
    if (control.tab >= 0 && !tabs.insert({control.parent, control.tab}).second)
      throw LayoutError(where + "tab " + std::to_string(control.tab) + " taken twice");
    std::set<Event> events;
    for (const EventSpec& event : control.events)
      if (!events.insert(event.event).second)
        throw LayoutError(where + "event " + EventName(event.event) + " given twice");
  }
}

// The sort key of each control among its siblings: its tab, or the tab of the next sibling in
// the layout that has one, or past all of them.
std::vector<PlacedControl> Children(const FormSpec& form, const std::string& parent) {
  std::vector<std::pair<int, std::size_t>> keyed;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    if (form.controls[i].parent != parent) continue;
    keyed.push_back({form.controls[i].tab, i});
  }
  int next = INT_MAX;
  for (auto it = keyed.rbegin(); it != keyed.rend(); ++it) {
    if (it->first >= 0)
      next = it->first;
    else
      it->first = next;
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<PlacedControl> placed;
  for (const auto& [key, index] : keyed) {
    const ControlSpec& def = form.controls[index];
    placed.push_back({&def, def.bounds, form.firstId + static_cast<int>(index)});
  }
  return placed;
}

void AppendFlattened(const FormSpec& form, const std::string& parent, int dx, int dy, std::vector<PlacedControl>& out) {
  for (PlacedControl placed : Children(form, parent)) {
    placed.bounds.left += dx;
    placed.bounds.top += dy;
    out.push_back(placed);
    if (placed.def->kind == ControlKind::GroupBox)
      AppendFlattened(form, placed.def->name, placed.bounds.left, placed.bounds.top, out);
  }
}

}  // namespace

const ControlSpec* FormSpec::Find(std::string_view name) const {
  for (const ControlSpec& control : controls)
    if (control.name == name) return &control;
  return nullptr;
}

FormSpec ParseLayout(std::string_view text) { return Parser(text).Parse(); }

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::CheckBox || kind == ControlKind::ComboBox ||
         kind == ControlKind::HotKey;
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::Button: return "button";
    case ControlKind::CheckBox: return "checkbox";
    case ControlKind::GroupBox: return "groupbox";
    case ControlKind::ComboBox: return "combobox";
    case ControlKind::HotKey: return "hotkey";
  }
  return "?";
}

const char* EventName(Event event) {
  switch (event) {
    case Event::Click: return "Click";
    case Event::Change: return "Change";
    case Event::Create: return "Create";
  }
  return "?";
}

std::vector<PlacedControl> Flatten(const FormSpec& form) {
  std::vector<PlacedControl> placed;
  AppendFlattened(form, "", 0, 0, placed);
  return placed;
}

}  // namespace ui
