// Both windows as their layouts build them, checked control by control against the tables the
// windows are drawn from: class, text, position within the window's client area, font, tab
// order, handler and control ID. The tables are at 96 dpi; at another dpi every figure is
// scaled as the layouts are (ui/scale.h, whose own table checks the rounding).
#include <algorithm>
#include <cwctype>
#include <set>
#include <utility>

#include "tests/ui/window_fixture.h"
#include "ui/dpi.h"
#include "ui/layout.h"
#include "ui/scale.h"

namespace {

using namespace ui;
using ui_testing::WindowTest;

constexpr const char* kGothic = "ＭＳ Ｐゴシック";

struct Row {
  const char* name;
  const wchar_t* className;
  const char* text;
  RECT bounds;  // left, top, width, height within the window's client area
  const char* face;
  int height;
  bool bold;
  int charset;
  const char* event;  // with its handler, or null
  const char* handler;
};

// clang-format off
const Row kMainRows[] = {
  {"Lbl_Title", L"Static", "VINTREL turnways", {16, 8, 203, 25}, "Verdana", 21, false, ANSI_CHARSET, nullptr, nullptr},
  {"Lbl_SubTitle", L"Static", "設定画面", {237, 16, 68, 16}, kGothic, 16, true, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Grp_OnOff", L"Button", "アプリケーションの登録", {16, 48, 473, 177}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Btn_Regist", L"Button", "登録", {24, 71, 72, 22}, kGothic, 15, false, SHIFTJIS_CHARSET, "Click", "Btn_RegistClick"},
  {"Lbl_Regist1", L"Static", "WindowsにJPEG画像の無劣化回転機能を登録します。", {109, 72, 368, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_Regist2", L"Static", "（エクスプローラーの右クリックメニューを追加します）", {149, 96, 325, 15}, kGothic, 15, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Btn_UnRegist", L"Button", "削除", {24, 143, 72, 22}, kGothic, 15, false, SHIFTJIS_CHARSET, "Click", "Btn_RegistClick"},
  {"Lbl_UnRegist1", L"Static", "Windowsから機能を削除します。Windowsを再起動し、", {109, 144, 356, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_UnRegist2", L"Static", "ファイルを削除するとアンインストール完了です。", {109, 168, 323, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_UnRegist3", L"Static", "オプションの登録内容も削除されます。", {109, 200, 260, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Grp_Options", L"Button", "オプション", {16, 232, 473, 254}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_SaveMethod", L"Static", "保存方法", {32, 265, 68, 16}, kGothic, 16, true, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"cbo_SaveMethod", L"ComboBox", nullptr, {108, 262, 373, 23}, kGothic, 15, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"chk_AllowBreakDCF", L"Button", "サムネイル画像の横回転を許す。", {32, 296, 241, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_AllowBreakDCF", L"Static", " (DCFの規格外になります。一般的に実害はありません)", {72, 314, 350, 15}, kGothic, 15, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"chk_KeepTimeStamp_Create", L"Button", "元ファイルの作成日付をコピーする。", {32, 336, 273, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"chk_KeepTimeStamp_Write", L"Button", "元ファイルの更新日付をコピーする。", {32, 360, 281, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"chk_AllowAdjustMCU", L"Button", "画像サイズがMCUの単位でない場合、", {32, 388, 289, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Lbl_AllowAdjustMCU", L"Static", "画像の端をトリミングしてMCU単位に調整する。", {49, 410, 318, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Chk_NotShowWarning", L"Button", "画像サイズがMCUの単位でない場合も、", {32, 436, 441, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Label1", L"Static", "警告を表示しないで処理を行う。", {49, 458, 217, 16}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Btn_OK", L"Button", "OK", {320, 496, 75, 25}, kGothic, 12, false, SHIFTJIS_CHARSET, "Click", "Btn_OKClick"},
  {"Btn_Cancel", L"Button", "ｷｬﾝｾﾙ", {408, 496, 75, 25}, kGothic, 12, false, SHIFTJIS_CHARSET, "Click", "Btn_CancelClick"},
  {"Btn_Sub", L"Button", "詳細な設定...", {16, 496, 89, 25}, kGothic, 12, false, SHIFTJIS_CHARSET, "Click", "Btn_SubClick"},
};

const Row kSubRows[] = {
  {"GroupBox", L"Button", "詳細な動作の設定", {16, 16, 345, 225}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Label4", L"Static", "ショートカットを割り当てます。（A-Z,0-9のみ)", {24, 48, 321, 16}, kGothic, 16, true, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Label1", L"Static", "右回りに回転", {48, 80, 108, 19}, kGothic, 19, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"HotKey_90", L"msctls_hotkey32", "", {176, 80, 121, 22}, kGothic, 16, false, SHIFTJIS_CHARSET, "Change", "HotKey_90Change"},
  {"Label2", L"Static", "左回りに回転", {48, 120, 108, 19}, kGothic, 19, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"HotKey_270", L"msctls_hotkey32", "", {176, 120, 121, 22}, kGothic, 16, false, SHIFTJIS_CHARSET, "Change", "HotKey_270Change"},
  {"Label3", L"Static", "180度回転", {48, 160, 87, 19}, kGothic, 19, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"HotKey_180", L"msctls_hotkey32", "", {176, 160, 121, 22}, kGothic, 16, false, SHIFTJIS_CHARSET, "Change", "HotKey_180Change"},
  {"Chk_gAddMenu180", L"Button", "「180度の回転」をメニューに追加する。", {48, 200, 289, 17}, kGothic, 16, false, SHIFTJIS_CHARSET, nullptr, nullptr},
  {"Btn_OK", L"Button", "OK", {201, 251, 75, 25}, kGothic, 12, false, SHIFTJIS_CHARSET, "Click", "Btn_OKClick"},
  {"Btn_Cancel", L"Button", "ｷｬﾝｾﾙ", {285, 251, 75, 25}, kGothic, 12, false, SHIFTJIS_CHARSET, "Click", "Btn_CancelClick"},
};
// clang-format on

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

RECT ClientBounds(HWND form, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The row's rectangle at the window's dpi, as left, top, right, bottom.
RECT Expected(const Row& row, int dpi) {
  const Rect r = ScaleRect({row.bounds.left, row.bounds.top, row.bounds.right, row.bounds.bottom}, dpi);
  return {r.left, r.top, r.left + r.width, r.top + r.height};
}

// The layout a window is built from, as the program reads it.
FormSpec LayoutOf(const wchar_t* resource) { return ParseLayout(ResourceText(resource)); }

// A layout's event entries as "Event Handler " pairs.
std::string Events(const std::vector<EventSpec>& events) {
  std::string text;
  for (const EventSpec& e : events) text += std::string(EventName(e.event)) + " " + e.handler + " ";
  return text;
}

// The font a window or control has: face, character height at `dpi`, weight, character set.
void ExpectFont(HWND window, const char* face, int height, bool bold, int charset, int dpi) {
  LOGFONTW font{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
  EXPECT_EQ(Narrow(font.lfFaceName), face);
  EXPECT_EQ(font.lfHeight, -ScalePixels(height, dpi)) << "a character height";
  EXPECT_EQ(font.lfWeight, bold ? FW_BOLD : FW_NORMAL);
  EXPECT_EQ(font.lfCharSet, charset);
}

// The rows are in layout order: a control's ID is the window's first ID plus its row. The
// window is laid out at `dpi`.
void CheckRows(const Form& form, const FormSpec& layout, const Row* begin, const Row* end, int dpi) {
  HWND hwnd = form.Handle();
  for (const Row* row = begin; row != end; ++row) {
    SCOPED_TRACE(row->name);
    HWND control = form.Control(row->name);
    EXPECT_EQ(GetParent(control), hwnd) << "a real child of the window";
    EXPECT_EQ(Lower(ClassName(control)), Lower(row->className));
    if (row->text) {
      EXPECT_EQ(Narrow(WindowText(control)), row->text);
    }
    EXPECT_EQ(GetDlgCtrlID(control), layout.firstId + (row - begin));

    RECT r = ClientBounds(hwnd, control);
    r.right += r.left;
    r.bottom += r.top;
    const RECT expected = Expected(*row, dpi);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    if (ClassName(control) == L"Static") {
      // A label is sized to its text: as laid out, or larger where this system's font for the
      // face is wider; the whole text always fits.
      EXPECT_GE(r.right, expected.right);
      EXPECT_GE(r.bottom, expected.bottom);
      HDC dc = GetDC(control);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
      const std::wstring text = WindowText(control);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      EXPECT_LE(extent.cx, r.right - r.left);
      EXPECT_EQ(r.right - r.left, std::max(expected.right - expected.left, extent.cx));
    } else {
      EXPECT_EQ(r.right, expected.right) << "width";
      EXPECT_EQ(r.bottom, expected.bottom) << "height";
    }

    ExpectFont(control, row->face, row->height, row->bold, row->charset, dpi);

    // The handler names themselves are checked when the window is built (UnknownNames below).
    EXPECT_EQ(Events(layout.Find(row->name)->events),
              row->event ? std::string(row->event) + " " + row->handler + " " : "");
  }
  EXPECT_EQ(static_cast<std::size_t>(end - begin), layout.controls.size()) << "every control is in the table";
}

std::vector<std::string> TabStops(const Form& form, const FormSpec& layout) {
  std::vector<std::string> names;
  for (HWND child = GetWindow(form.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) continue;
    for (const ControlSpec& def : layout.controls)
      if (form.Control(def.name) == child) names.push_back(def.name);
  }
  return names;
}

void CheckWindow(const Form& form, const char* caption, int width, int height) {
  HWND hwnd = form.Handle();
  EXPECT_EQ(Narrow(WindowText(hwnd)), caption);
  RECT client{};
  GetClientRect(hwnd, &client);
  const int dpi = WindowDpi(hwnd);
  EXPECT_EQ(client.right, ScalePixels(width, dpi));
  EXPECT_EQ(client.bottom, ScalePixels(height, dpi));
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ(style & WS_THICKFRAME, 0u) << "the user cannot drag the size";
  EXPECT_EQ(style & WS_CHILD, 0u);
  EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.left, std::max(0L, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2)) << "centred";
  EXPECT_EQ(outer.top, std::max(0L, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2));
  ExpectFont(hwnd, kGothic, 12, false, SHIFTJIS_CHARSET, dpi);
}

TEST_F(WindowTest, MainWindowMatchesItsTable) {
  Build();
  CheckWindow(*main, "JPEGファイル回転プログラム - vintrel - エクスプローラ組込版 Version 1.18", 503, 527);
  EXPECT_EQ(ClassName(main->Handle()), L"TFm_main");
  EXPECT_EQ(GetWindow(main->Handle(), GW_OWNER), host.Owner());
  EXPECT_NE(GetClassLongPtrW(main->Handle(), GCLP_HICON), 0u) << "an icon of its own, carried by its class";
  const FormSpec layout = LayoutOf(L"TFM_MAIN");
  EXPECT_EQ(Events(layout.events), "Create FormCreate ");
  CheckRows(*main, layout, std::begin(kMainRows), std::end(kMainRows), WindowDpi(main->Handle()));
  EXPECT_EQ(TabStops(*main, layout),
            (std::vector<std::string>{"Btn_Regist", "Btn_UnRegist", "cbo_SaveMethod", "chk_AllowBreakDCF",
                                      "chk_KeepTimeStamp_Create", "chk_KeepTimeStamp_Write", "chk_AllowAdjustMCU",
                                      "Chk_NotShowWarning", "Btn_OK", "Btn_Cancel", "Btn_Sub"}));

  HWND combo = Main("cbo_SaveMethod");
  const char* rows[] = {"resultフォルダに保存します。", "上書きします。元ファイルはゴミ箱に移動します。",
                        "上書きします。元ファイルは拡張子を変えて保存します。",
                        "上書きします。元ファイルはoriginalフォルダに保存します。",
                        "上書きします。元ファイルは保存しません。"};
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 5);
  for (int i = 0; i < 5; ++i) {
    wchar_t text[128] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(Narrow(text), rows[i]);
  }
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), ScalePixels(15, WindowDpi(main->Handle())));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(combo, GWL_STYLE)) & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(Main("chk_AllowBreakDCF"), GWL_STYLE)) & BS_TYPEMASK,
            static_cast<DWORD>(BS_AUTOCHECKBOX));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(Main("Grp_OnOff"), GWL_STYLE)) & BS_TYPEMASK,
            static_cast<DWORD>(BS_GROUPBOX));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(Main("Btn_OK"), GWL_STYLE)) & BS_TYPEMASK,
            static_cast<DWORD>(BS_PUSHBUTTON))
      << "no default button";
}

TEST_F(WindowTest, DialogMatchesItsTable) {
  Build();
  CheckWindow(*sub, "詳細な設定", 380, 288);
  EXPECT_EQ(ClassName(sub->Handle()), L"TFm_Sub");
  EXPECT_EQ(GetWindow(sub->Handle(), GW_OWNER), host.Owner());
  EXPECT_FALSE(IsWindowVisible(sub->Handle())) << "created hidden";
  const FormSpec layout = LayoutOf(L"TFM_SUB");
  EXPECT_EQ(Events(layout.events), "");
  CheckRows(*sub, layout, std::begin(kSubRows), std::end(kSubRows), WindowDpi(sub->Handle()));
  EXPECT_EQ(TabStops(*sub, layout), (std::vector<std::string>{"HotKey_90", "HotKey_270", "HotKey_180",
                                                              "Chk_gAddMenu180", "Btn_OK", "Btn_Cancel"}));
  for (const char* field : {"HotKey_90", "HotKey_180", "HotKey_270"})
    EXPECT_EQ(SendMessageW(Sub(field), HKM_GETHOTKEY, 0, 0), 0) << field;
}

// A move to a monitor of another dpi, ten times there and back: each time the window takes the
// rectangle the system suggests, lays its controls out at the new dpi with fonts made anew, and
// deletes the fonts it used before; it holds as many fonts as before.
std::set<HFONT> FontsInUse(const Form& form) {
  std::set<HFONT> fonts{reinterpret_cast<HFONT>(SendMessageW(form.Handle(), WM_GETFONT, 0, 0))};
  for (HWND child = GetWindow(form.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    fonts.insert(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
  return fonts;
}

void MoveToDpi(Form& form, const FormSpec& layout, int dpi) {
  const RECT frame = FrameAround(ScalePixels(layout.clientWidth, dpi), ScalePixels(layout.clientHeight, dpi),
                                 static_cast<DWORD>(GetWindowLongPtrW(form.Handle(), GWL_STYLE)),
                                 static_cast<DWORD>(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE)), dpi);
  RECT suggested{};
  GetWindowRect(form.Handle(), &suggested);
  suggested.left += 10;  // the system's choice of place, which the window takes
  suggested.right = suggested.left + (frame.right - frame.left);
  suggested.bottom = suggested.top + (frame.bottom - frame.top);
  SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT taken{};
  GetWindowRect(form.Handle(), &taken);
  EXPECT_EQ(taken.left, suggested.left);
  EXPECT_EQ(taken.top, suggested.top);
}

TEST_F(WindowTest, DpiChangesLayBothWindowsOutAnewAndDeleteTheirOldFonts) {
  Build();
  struct Window {
    Form* form;
    const wchar_t* resource;
    const Row* begin;
    const Row* end;
  };
  for (const Window& w : {Window{main.get(), L"TFM_MAIN", std::begin(kMainRows), std::end(kMainRows)},
                          Window{sub.get(), L"TFM_SUB", std::begin(kSubRows), std::end(kSubRows)}}) {
    const FormSpec layout = LayoutOf(w.resource);
    SCOPED_TRACE(layout.className);
    int laidOutAt = WindowDpi(w.form->Handle());
    const std::size_t fonts = FontsInUse(*w.form).size();
    for (int round = 0; round < 10; ++round) {
      for (const int dpi : {144, 96}) {
        SCOPED_TRACE(dpi);
        const std::set<HFONT> before = FontsInUse(*w.form);
        MoveToDpi(*w.form, layout, dpi);
        EXPECT_EQ(FontsInUse(*w.form).size(), fonts);
        if (std::exchange(laidOutAt, dpi) != dpi) {
          for (HFONT old : before) EXPECT_EQ(GetObjectType(old), 0u) << "a font of the old dpi was kept";
        }
        if (round > 0 && round < 9) continue;  // the whole layout at the first and the last round
        RECT client{};
        GetClientRect(w.form->Handle(), &client);
        EXPECT_EQ(client.right, ScalePixels(layout.clientWidth, dpi));
        EXPECT_EQ(client.bottom, ScalePixels(layout.clientHeight, dpi));
        CheckRows(*w.form, layout, w.begin, w.end, dpi);
      }
    }
  }
  EXPECT_EQ(SendMessageW(Main("cbo_SaveMethod"), CB_GETITEMHEIGHT, 0, 0), 15);
}

// A layout that names a handler the window class lacks, or a kind nobody knows, never becomes a
// window: built here with the handler table of the class `Window`. No handler runs: these
// layouts fail before the window is created.
template <class Window>
struct FromText final : FormOf<Window> {
  FromText(Host& host, std::string_view layout) : FormOf<Window>(host, layout) { this->Build(); }
  void OnClose() override {}
};

struct BadLayout {
  const char* resource;
  const char* from;
  const char* to;
};
class UnknownNames : public WindowTest, public ::testing::WithParamInterface<BadLayout> {};
TEST_P(UnknownNames, FailTheBuild) {
  std::string layout = ResourceText(Widen(GetParam().resource).c_str());
  const std::size_t at = layout.find(GetParam().from);
  ASSERT_NE(at, std::string::npos);
  layout.replace(at, std::string(GetParam().from).size(), GetParam().to);
  if (std::string(GetParam().resource) == "TFM_MAIN")
    EXPECT_THROW(FromText<TFm_main>(host, layout), LayoutError);
  else
    EXPECT_THROW(FromText<TFm_Sub>(host, layout), LayoutError);
  EXPECT_TRUE(host.errors.empty());
}
INSTANTIATE_TEST_SUITE_P(Layouts, UnknownNames,
                         ::testing::Values(BadLayout{"TFM_MAIN", "on Click Btn_OKClick", "on Click Btn_OkClick"},
                                           BadLayout{"TFM_MAIN", "on Create FormCreate", "on Create FormShow"},
                                           BadLayout{"TFM_MAIN", "Btn_Sub button", "Btn_Sub slider"},
                                           BadLayout{"TFM_SUB", "on Change HotKey_180Change",
                                                     "on Change HotKey180Change"},
                                           BadLayout{"TFM_SUB", "HotKey_90 hotkey", "HotKey_90 hotkeys"}));

}  // namespace
