// The windows' portable rules: the layout format and its scaling, the shortcut values of the
// hot-key fields, the application title and the error box text.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"
#include "tests/support/source_file.h"
#include "ui/app_text.h"
#include "ui/layout.h"
#include "ui/scale.h"
#include "ui/shortcut.h"

namespace {

using namespace ui;
using testing_support::SourceFile;

// --- Shortcut values -------------------------------------------------------------------------

struct Conversion {
  std::uint16_t from;
  std::uint16_t to;
};

class HotKeyToShortCut : public ::testing::TestWithParam<Conversion> {};
TEST_P(HotKeyToShortCut, FlagsBecomeModifierBitsAndTheExtendedFlagIsDropped) {
  EXPECT_EQ(ShortCutFromHotKey(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(Table, HotKeyToShortCut,
                         ::testing::Values(Conversion{0x0000, 0x0000}, Conversion{0x0052, 0x0052},  // R
                                           Conversion{0x0141, 0x2041},                              // Shift+A
                                           Conversion{0x0252, 0x4052},                              // Ctrl+R
                                           Conversion{0x0441, 0x8041},                              // Alt+A
                                           Conversion{0x0774, 0xE074},                              // Shift+Ctrl+Alt+F5
                                           Conversion{0x0824, 0x0024},                              // extended Home
                                           Conversion{0x0F2D, 0xE02D},    // every flag, extended Insert
                                           Conversion{0xF041, 0x0041}));  // unknown flags dropped

class ShortCutToHotKey : public ::testing::TestWithParam<Conversion> {};
TEST_P(ShortCutToHotKey, ModifierBitsBecomeFlagsAndBits8To12AreLost) {
  EXPECT_EQ(HotKeyFromShortCut(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(Table, ShortCutToHotKey,
                         ::testing::Values(Conversion{0x0000, 0x0000}, Conversion{0x0052, 0x0052},
                                           Conversion{0x0141, 0x0041},  // shows as A
                                           Conversion{0x1F41, 0x0041}, Conversion{0x2041, 0x0141},
                                           Conversion{0x4052, 0x0252}, Conversion{0x8041, 0x0441},
                                           Conversion{0xFF5A, 0x075A}, Conversion{0xFFFF, 0x07FF}));

TEST(ShortCut, EveryValueWithoutBits8To12SurvivesTheControl) {
  for (unsigned v = 0; v <= 0xFFFF; ++v) {
    if (v & 0x1F00) continue;
    const auto value = static_cast<std::uint16_t>(v);
    ASSERT_EQ(ShortCutFromHotKey(HotKeyFromShortCut(value)), value) << std::hex << v;
  }
}

class Filter : public ::testing::TestWithParam<Conversion> {};
TEST_P(Filter, KeepsNothingButLettersAndDigits) {
  const std::uint16_t from = GetParam().from;
  EXPECT_EQ(IsAllowedShortCut(from) ? from : 0, GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(Table, Filter,
                         ::testing::Values(Conversion{0, 0}, Conversion{47, 0}, Conversion{48, 48}, Conversion{55, 55},
                                           Conversion{57, 57}, Conversion{58, 0}, Conversion{64, 0}, Conversion{65, 65},
                                           Conversion{82, 82}, Conversion{90, 90}, Conversion{91, 0},
                                           Conversion{103, 0},     // 7 on the numeric keypad
                                           Conversion{116, 0},     // F5
                                           Conversion{0x4052, 0},  // Ctrl+R kept with its modifier
                                           Conversion{0x2041, 0},  // Shift+A
                                           Conversion{0x0141, 0},  // bits 8 to 12 count too
                                           Conversion{0xFFFF, 0}));

// --- Application title and error box text ----------------------------------------------------

struct TextCase {
  const char* in;
  const char* out;
};

// The program lowers with CharLowerBuffW; the file names below need ASCII letters only.
std::string AsciiLowerCase(std::string_view utf8) {
  std::string text(utf8);
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

class Title : public ::testing::TestWithParam<TextCase> {};
TEST_P(Title, FileNameCutAtTheFirstDotFirstCharacterKept) {
  EXPECT_EQ(ApplicationTitle(GetParam().in, &AsciiLowerCase), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(Table, Title,
                         ::testing::Values(TextCase{"C:\\Tools\\SETUP.EXE", "Setup"},
                                           TextCase{"C:\\x\\Vintrel_Turnways_Front.EXE", "Vintrel_turnways_front"},
                                           TextCase{"C:\\a.b\\Prog.Name.exe", "Prog"}, TextCase{"D:NOEXT", "Noext"},
                                           TextCase{"C:\\x\\.hidden", ""}, TextCase{"C:\\ソフト表\\SETUP.exe", "Setup"},
                                           TextCase{"C:\\x\\ÉCOLE.EXE", "École"},  // a two-byte first character
                                           TextCase{"setup.exe", "setup"}));

class ErrorText : public ::testing::TestWithParam<TextCase> {};
TEST_P(ErrorText, DotAppendedAfterACharacterThatSortsAfterDot) {
  EXPECT_EQ(ErrorBoxText(GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(Table, ErrorText,
                         ::testing::Values(TextCase{"", ""}, TextCase{"abc", "abc."}, TextCase{"abc.", "abc."},
                                           TextCase{"abc)", "abc)"}, TextCase{"abc-", "abc-"}, TextCase{"abc ", "abc "},
                                           TextCase{"abc/", "abc/."}, TextCase{"x0", "x0."},
                                           TextCase{"'gSaveMethod' のデータ型が不正です",
                                                    "'gSaveMethod' のデータ型が不正です."},
                                           TextCase{"café", "café."}));

// --- Layouts ---------------------------------------------------------------------------------

constexpr const char* kHeader = "form TFm_X Fm_X\nclient 100 50\nfont \"Face\" 12 shiftjis\n";

TEST(Layout, ParsesPropertiesEscapesAndInheritance) {
  const FormSpec form = ParseLayout(std::string(kHeader) +
                                    "caption \"Say \\\"hi\\\" \\\\ there\"\n"
                                    "ids 300\n"
                                    "on Create FormCreate\n"
                                    "# a comment\n"
                                    "control G groupbox window 10 20 80 30\n"
                                    "  font 16\n"
                                    "control B button G 1 2 3 4\n"
                                    "  text \"go\"\n"
                                    "  font 15 bold\n"
                                    "  tab 0\n"
                                    "  on Click B_Click\n"
                                    "control L label G 5 6 7 8\n"
                                    "control C combobox window 0 0 10 10\n"
                                    "  font \"Other\" 9 ansi\n"
                                    "  tab 1\n"
                                    "  itemheight 15\n"
                                    "  item \"one\"\n"
                                    "  item \"two\"\n");
  EXPECT_EQ(form.className, "TFm_X");
  EXPECT_EQ(form.caption, "Say \"hi\" \\ there");
  EXPECT_EQ(form.firstId, 300);
  ASSERT_EQ(form.events.size(), 1u);
  EXPECT_EQ(form.events[0].handler, "FormCreate");
  const ControlSpec* b = form.Find("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->font, (FontSpec{"Face", 15, true, Charset::ShiftJis}));
  EXPECT_EQ(form.Find("L")->font, (FontSpec{"Face", 16, false, Charset::ShiftJis}));  // the group box's
  EXPECT_EQ(form.Find("C")->font, (FontSpec{"Other", 9, false, Charset::Ansi}));
  EXPECT_EQ(form.Find("C")->items, (std::vector<std::string>{"one", "two"}));

  const std::vector<PlacedControl> placed = Flatten(form);
  ASSERT_EQ(placed.size(), 4u);
  EXPECT_EQ(placed[1].def->name, "B");
  EXPECT_EQ(placed[1].bounds, (Rect{11, 22, 3, 4}));  // offset by the group box
  EXPECT_EQ(placed[1].id, 301);
  EXPECT_EQ(placed[3].def->name, "C");
}

struct Fault {
  const char* layout;  // after kHeader
  const char* says;
};

class LayoutFault : public ::testing::TestWithParam<Fault> {};
TEST_P(LayoutFault, IsRefusedWithItsLine) {
  try {
    ParseLayout(std::string(kHeader) + GetParam().layout);
    FAIL() << "accepted: " << GetParam().layout;
  } catch (const LayoutError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().says), std::string::npos) << e.what();
  }
}
INSTANTIATE_TEST_SUITE_P(
    Table, LayoutFault,
    ::testing::Values(Fault{"control X slider window 0 0 1 1\n", "line 4: unknown control kind: slider"},
                      Fault{"control X label Nowhere 0 0 1 1\n", "unknown parent: Nowhere"},
                      Fault{"control A label window 0 0 1 1\ncontrol B label A 0 0 1 1\n", "parent is no group box"},
                      Fault{"control A label window 0 0 1 1\ncontrol A label window 0 0 1 1\n",
                            "duplicate control name"},
                      Fault{"control A label window 0 0 1 1\n tab 0\n", "a label takes no tab"},
                      Fault{"control A button window 0 0 1 1\n", "needs a tab"},
                      Fault{"control A button window 0 0 1 1\n tab 0\ncontrol B checkbox window 0 0 1 1\n tab 0\n",
                            "tab 0 taken twice"},
                      Fault{"control A label window 0 0 1 1\n on Click A_Click\n", "no event Click here"},
                      Fault{"control A button window 0 0 1 1\n tab 0\n on Change A_Change\n", "no event Change"},
                      Fault{"control A button window 0 0 1 1\n tab 0\n on Clack A_Click\n", "unknown event: Clack"},
                      Fault{"control A button window 0 0 1 1\n tab 0\n colour red\n", "unknown control property"},
                      Fault{"control A label window 0 0 1 1\n text \"open\n", "unterminated text"},
                      Fault{"control A label window 0 0 x 1\n", "not a number: x"},
                      Fault{"control A label window 0 0 1 1\n item \"x\"\n", "only a combobox has items"},
                      Fault{"control A label window 0 0 1 1\n font 3\n font 4\n", "a second font line"},
                      Fault{"control A label window 0 0 1 1\n font 3 italic\n", "unknown character set"},
                      Fault{"control A label window 0 0 1 1\n text plain\n", "a text in double quotes"},
                      Fault{"on Click X\n", "no event Click here"}, Fault{"form A B\n", "a second form line"},
                      Fault{"ids 2\n", "ids must lie in"}));

TEST(Layout, NeedsItsFormLineClientAndFontFirst) {
  EXPECT_THROW(ParseLayout("control A label window 0 0 1 1\n"), LayoutError);
  EXPECT_THROW(ParseLayout("form A B\nfont \"F\" 12 ansi\n"), LayoutError);
  EXPECT_THROW(ParseLayout("form A B\nclient 1 1\ncontrol A label window 0 0 1 1\n"), LayoutError);
  EXPECT_THROW(ParseLayout("form A B\nclient 1 1\nfont 12 ansi\n"), LayoutError);  // the window's font needs a face
}

// The program's own layouts: well-formed, and flattened into the order the windows use as
// their tab order.
TEST(Layout, MainWindowFlattensGroupBoxesInTabOrder) {
  const FormSpec form = ParseLayout(SourceFile("ui/option.layout"));
  EXPECT_EQ(form.className, "TFm_main");
  std::vector<std::string> order;
  for (const PlacedControl& p : Flatten(form)) order.push_back(p.def->name);
  const std::vector<std::string> expected = {"Lbl_Title",
                                             "Lbl_SubTitle",
                                             "Grp_OnOff",
                                             "Btn_Regist",
                                             "Lbl_Regist1",
                                             "Lbl_Regist2",
                                             "Btn_UnRegist",
                                             "Lbl_UnRegist1",
                                             "Lbl_UnRegist2",
                                             "Lbl_UnRegist3",
                                             "Grp_Options",
                                             "Lbl_SaveMethod",
                                             "cbo_SaveMethod",
                                             "chk_AllowBreakDCF",
                                             "Lbl_AllowBreakDCF",
                                             "chk_KeepTimeStamp_Create",
                                             "chk_KeepTimeStamp_Write",
                                             "chk_AllowAdjustMCU",
                                             "Lbl_AllowAdjustMCU",
                                             "Chk_NotShowWarning",
                                             "Label1",
                                             "Btn_OK",
                                             "Btn_Cancel",
                                             "Btn_Sub"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(form.Find("cbo_SaveMethod")->items.size(), 5u);
}

// The caption keeps its own text; the version it names is the program's.
TEST(Layout, MainWindowCaptionNamesTheProgramsVersion) {
  const std::string caption = ParseLayout(SourceFile("ui/option.layout")).caption;
  const std::string tail = std::string(" Version ") + VT_VERSION_TEXT;
  ASSERT_GE(caption.size(), tail.size());
  EXPECT_EQ(caption.substr(caption.size() - tail.size()), tail) << caption;
}

TEST(Layout, DialogFlattensItsGroupBoxInTabOrder) {
  const FormSpec form = ParseLayout(SourceFile("ui/sub.layout"));
  EXPECT_EQ(form.className, "TFm_Sub");
  std::vector<std::string> order;
  for (const PlacedControl& p : Flatten(form)) order.push_back(p.def->name);
  const std::vector<std::string> expected = {"GroupBox",        "Label4",     "Label1",    "HotKey_90",
                                             "Label2",          "HotKey_270", "Label3",    "HotKey_180",
                                             "Chk_gAddMenu180", "Btn_OK",     "Btn_Cancel"};
  EXPECT_EQ(order, expected);
}

// --- Scaling ---------------------------------------------------------------------------------

TEST(Scale, RoundsAsMulDivDoes) {
  struct Case {
    int pixels, dpi, scaled;
  } cases[] = {{0, 144, 0},   {1, 96, 1},      {1, 120, 1},   {1, 144, 2},     {23, 144, 35},
               {21, 120, 26}, {503, 120, 629}, {-1, 144, -2}, {-21, 120, -26}, {7, 72, 5}};
  for (const Case& c : cases) EXPECT_EQ(ScalePixels(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
}

TEST(Scale, EmbossOffsetIsOnePixelAtNinetySixAndRoundedAbove) {
  EXPECT_EQ(EmbossOffset(72), 1);
  EXPECT_EQ(EmbossOffset(96), 1);
  EXPECT_EQ(EmbossOffset(120), 1);
  EXPECT_EQ(EmbossOffset(144), 2);
  EXPECT_EQ(EmbossOffset(192), 2);
  EXPECT_EQ(EmbossOffset(288), 3);
}

const ScaledControl& Scaled(const ScaledForm& form, std::string_view name) {
  for (const ScaledControl& c : form.controls)
    if (c.def->name == name) return c;
  throw std::logic_error("no control " + std::string(name));
}

// Both layouts at the usual display scales: the client area, controls at the edges of the
// window and inside a group box, font heights and the drop-down list's rows.
struct ScaleCase {
  int dpi;
  int mainWidth, mainHeight;
  Rect mainCancel, title, regist, options, combo;
  int titleFont, windowFont, comboFont, itemHeight;
  int subWidth, subHeight;
  Rect subCancel, hotKey90, label1;
  int hotKeyFont, labelFont;
};
class ScaledLayouts : public ::testing::TestWithParam<ScaleCase> {};
TEST_P(ScaledLayouts, MatchTheTable) {
  const ScaleCase& c = GetParam();
  const FormSpec mainSpec = ParseLayout(SourceFile("ui/option.layout"));
  const ScaledForm main = ScaleForm(mainSpec, c.dpi);
  EXPECT_EQ(main.clientWidth, c.mainWidth);
  EXPECT_EQ(main.clientHeight, c.mainHeight);
  EXPECT_EQ(main.font.height, c.windowFont);
  EXPECT_EQ(main.font.face, "ＭＳ Ｐゴシック");
  EXPECT_EQ(Scaled(main, "Btn_Cancel").bounds, c.mainCancel);
  EXPECT_EQ(Scaled(main, "Btn_Cancel").font.height, c.windowFont);
  EXPECT_EQ(Scaled(main, "Lbl_Title").bounds, c.title);
  EXPECT_EQ(Scaled(main, "Lbl_Title").font, (FontSpec{"Verdana", c.titleFont, false, Charset::Ansi}));
  EXPECT_EQ(Scaled(main, "Btn_Regist").bounds, c.regist);
  EXPECT_EQ(Scaled(main, "Grp_Options").bounds, c.options);
  const ScaledControl& combo = Scaled(main, "cbo_SaveMethod");
  EXPECT_EQ(combo.bounds, c.combo);
  EXPECT_EQ(combo.font.height, c.comboFont);
  EXPECT_EQ(combo.itemHeight, c.itemHeight);
  EXPECT_EQ(combo.listHeight, 5 * c.itemHeight + 2);
  EXPECT_TRUE(Scaled(main, "Lbl_SubTitle").font.bold);
  EXPECT_EQ(Scaled(main, "Btn_OK").bounds.left + Scaled(main, "Btn_OK").bounds.width, ScalePixels(395, c.dpi))
      << "edges, not sizes, are scaled";
  for (const ScaledControl& control : main.controls) {
    const Rect& r = control.bounds;
    EXPECT_LE(r.left + r.width, main.clientWidth) << control.def->name;
    EXPECT_LE(r.top + r.height, main.clientHeight) << control.def->name;
  }

  const FormSpec subSpec = ParseLayout(SourceFile("ui/sub.layout"));
  const ScaledForm sub = ScaleForm(subSpec, c.dpi);
  EXPECT_EQ(sub.clientWidth, c.subWidth);
  EXPECT_EQ(sub.clientHeight, c.subHeight);
  EXPECT_EQ(Scaled(sub, "Btn_Cancel").bounds, c.subCancel);
  EXPECT_EQ(Scaled(sub, "HotKey_90").bounds, c.hotKey90);
  EXPECT_EQ(Scaled(sub, "HotKey_90").font.height, c.hotKeyFont);
  EXPECT_EQ(Scaled(sub, "Label1").bounds, c.label1);
  EXPECT_EQ(Scaled(sub, "Label1").font.height, c.labelFont);
  EXPECT_EQ(Scaled(sub, "Label1").itemHeight, 0);
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(Dpi, ScaledLayouts, ::testing::Values(
    ScaleCase{96, 503, 527, {408, 496, 75, 25}, {16, 8, 203, 25}, {24, 71, 72, 22}, {16, 232, 473, 254},
              {108, 262, 373, 23}, 21, 12, 15, 15,
              380, 288, {285, 251, 75, 25}, {176, 80, 121, 22}, {48, 80, 108, 19}, 16, 19},
    ScaleCase{120, 629, 659, {510, 620, 94, 31}, {20, 10, 254, 31}, {30, 89, 90, 27}, {20, 290, 591, 318},
              {135, 328, 466, 28}, 26, 15, 19, 19,
              475, 360, {356, 314, 94, 31}, {220, 100, 151, 28}, {60, 100, 135, 24}, 20, 24},
    ScaleCase{144, 755, 791, {612, 744, 113, 38}, {24, 12, 305, 38}, {36, 107, 108, 33}, {24, 348, 710, 381},
              {162, 393, 560, 35}, 32, 18, 23, 23,
              570, 432, {428, 377, 112, 37}, {264, 120, 182, 33}, {72, 120, 162, 29}, 24, 29},
    ScaleCase{192, 1006, 1054, {816, 992, 150, 50}, {32, 16, 406, 50}, {48, 142, 144, 44}, {32, 464, 946, 508},
              {216, 524, 746, 46}, 42, 24, 30, 30,
              760, 576, {570, 502, 150, 50}, {352, 160, 242, 44}, {96, 160, 216, 38}, 32, 38}),
    [](const ::testing::TestParamInfo<ScaleCase>& p) { return std::to_string(p.param.dpi); });
// clang-format on

}  // namespace
