// What the two windows do: loading into the main window, the register/remove rows, OK, Cancel,
// the keys Enter and Escape, the detail dialog's fields, filters and modal run. The windows are
// hidden and driven through their messages; the registry is an in-memory one.
#include <functional>

#include "settings/options.h"
#include "tests/support/stores.h"
#include "tests/ui/window_fixture.h"
#include "ui/app_text.h"
#include "ui/shortcut.h"

namespace {

using namespace ui;
using settings::kCurrentUser;
using testing_support::Dword;
using testing_support::GetRaw;
using testing_support::PutRaw;
using ui_testing::WindowTest;

const std::string kOptions = std::string(settings::kOptionsKey).substr(1);

void Click(Form& form, HWND control) {
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

// What the hot-key control sends when the user presses a key.
void UserChanges(Form& form, HWND hotKey, WORD word) {
  SendMessageW(hotKey, HKM_SETHOTKEY, word, 0);
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hotKey), EN_CHANGE),
               reinterpret_cast<LPARAM>(hotKey));
}

void Key(HWND target, WPARAM key) {
  MSG msg{target, WM_KEYDOWN, key, 1, 0, {0, 0}};
  ProcessMessage(msg);
}

std::optional<std::uint32_t> StoredDword(settings::RegistryStore& store, const char* name) {
  return testing_support::GetDword(store, kCurrentUser, kOptions, name);
}

// The enabled state of the two registration rows, in order: Btn_Regist, its two labels,
// Btn_UnRegist, its three labels.
std::vector<bool> Rows(const Form& form) {
  std::vector<bool> enabled;
  for (const char* name :
       {"Btn_Regist", "Lbl_Regist1", "Lbl_Regist2", "Btn_UnRegist", "Lbl_UnRegist1", "Lbl_UnRegist2", "Lbl_UnRegist3"})
    enabled.push_back(IsWindowEnabled(form.Control(name)) != FALSE);
  return enabled;
}
const std::vector<bool> kRegisterRow = {true, true, true, false, false, false, false};
const std::vector<bool> kRemoveRow = {false, false, false, true, true, true, true};

TEST_F(WindowTest, FreshSystemShowsTheDefaultsAndTheRegisterRow) {
  Build();
  EXPECT_FALSE(main->gRegistered);
  EXPECT_EQ(Rows(*main), kRegisterRow);
  EXPECT_EQ(SendMessageW(Main("cbo_SaveMethod"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(main->CurrentOptions(), settings::Options{});
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(WindowTest, StoredOptionsAreShownAndTheRemoveRowEnabled) {
  PutRaw(store, kCurrentUser, kOptions, "gSaveMethod", settings::kRegDword, Dword(3));
  PutRaw(store, kCurrentUser, kOptions, "gAllowBreakDCF", settings::kRegDword, Dword(5));
  PutRaw(store, kCurrentUser, kOptions, "gKeepTimeStamp_Write", settings::kRegDword, Dword(0));
  PutRaw(store, kCurrentUser, kOptions, "gHotKey_90", settings::kRegDword, Dword(0x10041));
  PutRaw(store, kCurrentUser, kOptions, "gHotKey_270", settings::kRegDword, Dword(0x70));
  PutRaw(store, kCurrentUser, kOptions, "gAddMenu180", settings::kRegDword, Dword(1));
  Build();
  EXPECT_TRUE(main->gRegistered);
  EXPECT_EQ(Rows(*main), kRemoveRow);
  EXPECT_EQ(SendMessageW(Main("cbo_SaveMethod"), CB_GETCURSEL, 0, 0), 4) << "code 3 is the last row";
  EXPECT_EQ(main->getSaveMethod(), 3);
  EXPECT_TRUE(IsChecked(Main("chk_AllowBreakDCF")));
  EXPECT_TRUE(IsChecked(Main("chk_KeepTimeStamp_Create")));
  EXPECT_FALSE(IsChecked(Main("chk_KeepTimeStamp_Write")));
  EXPECT_EQ(main->gHotKey_90, 0x41);
  EXPECT_EQ(main->gHotKey_270, 0x70);
  EXPECT_TRUE(main->gAddMenu180);
}

// A value of the wrong type: one error, what could be read is shown, and the rows show the
// wish (the key exists, so: remove), so that "登録" cannot turn the wish into a removal.
TEST_F(WindowTest, UnreadableValueShowsOneErrorAndRowsThatMatchTheWish) {
  PutRaw(store, kCurrentUser, kOptions, "gSaveMethod", settings::kRegDword, Dword(2));
  PutRaw(store, kCurrentUser, kOptions, "gAllowBreakDCF", settings::kRegSz, {'x', 0});
  PutRaw(store, kCurrentUser, kOptions, "gAddMenu180", settings::kRegDword, Dword(1));
  Build();
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "'gAllowBreakDCF' のデータ型が不正です");
  EXPECT_EQ(ErrorBoxText(host.errors[0]), "'gAllowBreakDCF' のデータ型が不正です.");
  EXPECT_TRUE(main->gRegistered);
  EXPECT_EQ(Rows(*main), kRemoveRow);
  EXPECT_EQ(main->getSaveMethod(), 2);
  EXPECT_TRUE(main->gAddMenu180);
  EXPECT_NE(main->Handle(), nullptr) << "the window is built all the same";
}

TEST_F(WindowTest, RegisterAndRemoveButtonsFlipTheWishAndWriteNothing) {
  Build();
  const auto before = store.Dump(kCurrentUser);
  Click(*main, Main("Btn_Regist"));
  EXPECT_TRUE(main->gRegistered);
  EXPECT_EQ(Rows(*main), kRemoveRow);
  Click(*main, Main("Btn_UnRegist"));
  EXPECT_FALSE(main->gRegistered);
  EXPECT_EQ(Rows(*main), kRegisterRow);
  EXPECT_EQ(store.Dump(kCurrentUser), before);
}

struct SaveMethodCase {
  std::int32_t code;
  int row;  // selected after setSaveMethod(code), starting from row 1
};
class SaveMethod : public WindowTest, public ::testing::WithParamInterface<SaveMethodCase> {};
TEST_P(SaveMethod, CodesAndRowsSwapThreeAndFour) {
  Build();
  SendMessageW(Main("cbo_SaveMethod"), CB_SETCURSEL, 1, 0);
  main->setSaveMethod(GetParam().code);
  EXPECT_EQ(SendMessageW(Main("cbo_SaveMethod"), CB_GETCURSEL, 0, 0), GetParam().row);
  EXPECT_EQ(main->getSaveMethod(), GetParam().row == 1 ? 1 : GetParam().code);
}
INSTANTIATE_TEST_SUITE_P(Table, SaveMethod,
                         ::testing::Values(SaveMethodCase{0, 0}, SaveMethodCase{2, 2}, SaveMethodCase{3, 4},
                                           SaveMethodCase{4, 3}, SaveMethodCase{5, 1}, SaveMethodCase{-1, 1}));

TEST_F(WindowTest, NoSelectionSavesCodeZero) {
  Build();
  SendMessageW(Main("cbo_SaveMethod"), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(main->getSaveMethod(), 0);
}

TEST_F(WindowTest, OkCommitsWhatTheWindowShowsAndCloses) {
  Build();
  Click(*main, Main("Btn_Regist"));
  SendMessageW(Main("cbo_SaveMethod"), CB_SETCURSEL, 3, 0);
  SetChecked(Main("chk_AllowAdjustMCU"), true);
  main->gHotKey_90 = 'R';
  Click(*main, Main("Btn_OK"));
  EXPECT_EQ(host.closed, 1);
  EXPECT_EQ(main->Handle(), nullptr);
  EXPECT_EQ(StoredDword(store, "gSaveMethod"), 4u);
  EXPECT_EQ(StoredDword(store, "gAllowAdjustMCU"), 1u);
  EXPECT_EQ(StoredDword(store, "gHotKey_90"), 82u);
  EXPECT_EQ(StoredDword(store, "gKeepTimeStamp_Create"), 1u);
  EXPECT_TRUE(host.errors.empty());
}

// The options location chosen at start-up serves both loading and OK.
TEST_F(WindowTest, LoadAndOkUseTheOptionsLocationTheWindowIsGiven) {
  const settings::OptionsLocation other{settings::kUsers,
                                        std::string("\\") + testing_support::kOtherUserSid + settings::kOptionsKey};
  PutRaw(store, settings::kUsers, other.path.substr(1), "gHotKey_90", settings::kRegDword, Dword('Q'));
  main = std::make_unique<ui::TFm_main>(host, store, other);
  ui::Fm_main = main.get();
  EXPECT_TRUE(main->gRegistered);
  EXPECT_EQ(main->gHotKey_90, 'Q');
  main->gHotKey_180 = '5';
  Click(*main, Main("Btn_OK"));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(GetRaw(store, settings::kUsers, other.path.substr(1), "gHotKey_180").data, Dword('5'));
  EXPECT_FALSE(testing_support::KeyExists(store, kCurrentUser, "Software\\Tallgrove"));
}

TEST_F(WindowTest, FailedCommitShowsTheErrorAndKeepsTheWindowOpen) {
  store.RefuseKey(kCurrentUser, kOptions);
  Build();
  Click(*main, Main("Btn_Regist"));
  Click(*main, Main("Btn_OK"));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("の設定に失敗しました"), std::string::npos) << host.errors[0];
  EXPECT_EQ(host.closed, 0);
  EXPECT_TRUE(IsWindow(main->Handle()));
}

TEST_F(WindowTest, CancelAndTheCloseBoxCloseWithoutWriting) {
  for (const bool closeBox : {false, true}) {
    Build();
    Click(*main, Main("Btn_Regist"));
    const auto before = store.Dump(kCurrentUser);
    if (closeBox)
      main->Close();
    else
      Click(*main, Main("Btn_Cancel"));
    EXPECT_EQ(main->Handle(), nullptr);
    EXPECT_EQ(store.Dump(kCurrentUser), before);
  }
  EXPECT_EQ(host.closed, 2);
}

TEST_F(WindowTest, EnterClicksTheFocusedButtonOnlyAndEscapeDoesNothing) {
  Build();
  Key(Main("Btn_Regist"), VK_RETURN);
  EXPECT_TRUE(main->gRegistered) << "Enter on 登録";
  Key(Main("chk_AllowBreakDCF"), VK_RETURN);
  EXPECT_FALSE(IsChecked(Main("chk_AllowBreakDCF"))) << "Enter on a check box";
  Key(Main("cbo_SaveMethod"), VK_RETURN);
  Key(Main("Btn_OK"), VK_ESCAPE);
  Key(Main("Btn_Cancel"), VK_ESCAPE);
  Key(main->Handle(), VK_ESCAPE);
  EXPECT_EQ(host.closed, 0) << "neither Enter elsewhere nor Escape closes";
  Key(Main("Btn_Cancel"), VK_RETURN);
  EXPECT_EQ(host.closed, 1);
}

TEST_F(WindowTest, MinimisingTheMainWindowMinimisesTheApplication) {
  Build();
  SendMessageW(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(host.minimized, 1);
  EXPECT_FALSE(IsIconic(main->Handle()));
}

// --- The detail dialog -----------------------------------------------------------------------

TEST_F(WindowTest, FieldsShowTheirValuesWithoutBits8To12AndReportNoChange) {
  Build();
  const THotKey field = sub->HotKey_90();
  struct Case {
    std::uint16_t value;
    std::uint16_t shown;
  } cases[] = {{0x41, 0x41}, {0x0141, 0x41}, {0x70, 0x70}, {0x4052, 0x4052}, {0, 0}};
  for (const Case& c : cases) {
    THotKey(field).SetHotKey(c.value);
    EXPECT_EQ(THotKey(field).HotKey(), c.shown) << std::hex << c.value;
  }
  // A change inside the program's own set is not the user's: no filter runs.
  {
    const Form::QuietScope quiet(*sub);
    UserChanges(*sub, field.Handle(), VK_F1);
  }
  EXPECT_EQ(THotKey(field).HotKey(), VK_F1);
}

// Where the platform's control reports its own HKM_SETHOTKEY as a change, the report is
// suppressed: a stored value outside the filter survives being shown.
WNDPROC originalHotKeyProc = nullptr;
LRESULT CALLBACK ReportingHotKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(originalHotKeyProc, hwnd, message, wParam, lParam);
  if (message == HKM_SETHOTKEY)
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_CHANGE),
                 reinterpret_cast<LPARAM>(hwnd));
  return result;
}

TEST_F(WindowTest, ChangeReportsOfTheProgramsOwnSetsAreSuppressed) {
  Build();
  HWND field = Sub("HotKey_180");
  originalHotKeyProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReportingHotKey)));
  sub->HotKey_180().SetHotKey(VK_F1);
  EXPECT_EQ(sub->HotKey_180().HotKey(), VK_F1);
  SendMessageW(field, HKM_SETHOTKEY, VK_F2, 0);  // as if the user had pressed F2
  EXPECT_EQ(sub->HotKey_180().HotKey(), 0);
  SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalHotKeyProc));
}

// An exception that leaves a handler is shown in the error box and the window goes on; one
// that leaves the creation handler does not stop the window from being built.
class Throwing final : public FormOf<Throwing> {
public:
  explicit Throwing(Host& host)
      : FormOf(host,
               "form TThrowing Throwing\nclient 100 60\nfont \"Arial\" 12 ansi\non Create Boom\n"
               "control Btn button window 0 0 50 20\n tab 0\n on Click Boom\n") {
    Build();
  }
  void Boom(HWND) { throw base::Exception("boom " + std::to_string(++count)); }
  static std::span<const Handler> Handlers() {
    static const Handler handlers[] = {{"Boom", &Throwing::Boom}};
    return handlers;
  }
  int count = 0;

protected:
  void OnClose() override { DestroyWindow(Handle()); }
};

TEST_F(WindowTest, HandlerExceptionsGoToTheErrorBoxAndTheWindowGoesOn) {
  Throwing form(host);
  ASSERT_NE(form.Handle(), nullptr);
  Click(form, form.Control("Btn"));
  EXPECT_EQ(host.errors, (std::vector<std::string>{"boom 1", "boom 2"}));
  EXPECT_TRUE(IsWindow(form.Handle()));
}

struct KeyCase {
  WORD word;             // what the control holds after the key press
  std::uint16_t result;  // what the filter leaves
};
class Filters : public WindowTest, public ::testing::WithParamInterface<KeyCase> {};
TEST_P(Filters, EachFieldKeepsLettersAndDigitsOnly) {
  Build();
  for (const char* name : {"HotKey_90", "HotKey_180", "HotKey_270"}) {
    UserChanges(*sub, Sub(name), GetParam().word);
    EXPECT_EQ(ShortCutFromHotKey(static_cast<std::uint16_t>(SendMessageW(Sub(name), HKM_GETHOTKEY, 0, 0))),
              GetParam().result)
        << name;
  }
}
INSTANTIATE_TEST_SUITE_P(Keys, Filters,
                         ::testing::Values(KeyCase{'R', 'R'}, KeyCase{'7', '7'}, KeyCase{VK_NUMPAD7, 0},
                                           KeyCase{VK_F5, 0}, KeyCase{0x0252, 0},  // Ctrl+R, had the rules let it
                                           KeyCase{0x0824, 0}, KeyCase{0, 0}));

// Runs a modal opening: `during` runs from inside the modal loop, then `button` is clicked.
class ModalRun {
public:
  static inline std::function<void()> during;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (during) during();
  }
};

TEST_F(WindowTest, DialogOkHandsTheFieldsBackAndCancelDoesNot) {
  Build();
  main->gHotKey_90 = 0x10;  // not a letter: shown and kept unless the user changes it
  main->gHotKey_180 = 'B';
  main->gHotKey_270 = 0;
  main->gAddMenu180 = false;
  for (const char* button : {"Btn_Cancel", "Btn_OK"}) {
    bool mainEnabled = true;
    bool shown = false;
    ModalRun::during = [&] {
      mainEnabled = IsWindowEnabled(main->Handle()) != FALSE;
      shown = IsWindowVisible(sub->Handle()) != FALSE;
      EXPECT_EQ(sub->HotKey_180().HotKey(), 'B') << "filled from the main window";
      UserChanges(*sub, Sub("HotKey_270"), 'Z');
      SetChecked(Sub("Chk_gAddMenu180"), true);
      Click(*sub, Sub(button));
    };
    SetTimer(nullptr, 0, 1, &ModalRun::Tick);
    Click(*main, Main("Btn_Sub"));
    EXPECT_FALSE(mainEnabled) << "the main window waits while the dialog is open";
    EXPECT_TRUE(shown);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_FALSE(IsWindowVisible(sub->Handle()));
    const bool ok = std::string(button) == "Btn_OK";
    EXPECT_EQ(main->gHotKey_90, 0x10);
    EXPECT_EQ(main->gHotKey_180, 'B');
    EXPECT_EQ(main->gHotKey_270, ok ? 'Z' : 0);
    EXPECT_EQ(main->gAddMenu180, ok);
  }
  EXPECT_EQ(host.closed, 0) << "closing the dialog never ends the program";
}

TEST_F(WindowTest, DialogOpensCentredThenWhereTheUserLeftIt) {
  Build();
  POINT first{};
  POINT second{};
  int result = 0;
  ModalRun::during = [&] {
    RECT r{};
    GetWindowRect(sub->Handle(), &r);
    first = {r.left, r.top};
    SetWindowPos(sub->Handle(), nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    sub->Close();  // the close box
  };
  SetTimer(nullptr, 0, 1, &ModalRun::Tick);
  result = sub->ShowModal();
  EXPECT_EQ(result, TFm_Sub::kModalResultCancel);
  ModalRun::during = [&] {
    RECT r{};
    GetWindowRect(sub->Handle(), &r);
    second = {r.left, r.top};
    Click(*sub, Sub("Btn_Cancel"));
  };
  SetTimer(nullptr, 0, 1, &ModalRun::Tick);
  EXPECT_EQ(sub->ShowModal(), TFm_Sub::kModalResultCancel);
  RECT r{};
  GetWindowRect(sub->Handle(), &r);
  EXPECT_EQ(first.x, std::max(0L, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2));
  EXPECT_EQ(second.x, 7);
  EXPECT_EQ(second.y, 9);
}

TEST_F(WindowTest, EnterAndEscapeInTheDialog) {
  Build();
  main->gHotKey_90 = 'Q';
  bool stillOpen = false;
  ModalRun::during = [&] {
    Key(Sub("HotKey_90"), VK_RETURN);
    Key(Sub("Btn_OK"), VK_ESCAPE);
    stillOpen = IsWindowVisible(sub->Handle()) != FALSE;
    SendMessageW(Sub("HotKey_90"), HKM_SETHOTKEY, 'W', 0);
    Key(Sub("Btn_OK"), VK_RETURN);
  };
  SetTimer(nullptr, 0, 1, &ModalRun::Tick);
  Click(*main, Main("Btn_Sub"));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(main->gHotKey_90, 'W');
}

TEST(ApplicationTitle, LowersEveryLetterButTheFirstWithTheSystemsRules) {
  EXPECT_EQ(ApplicationTitle("C:\\x\\ÄBCÖ.EXE", &LowerCase), "Äbcö");
  EXPECT_EQ(ApplicationTitle("C:\\x\\ＳＥＴＵＰ.EXE", &LowerCase), "Ｓｅｔｕｐ");
  EXPECT_EQ(ApplicationTitle("C:\\ソフト表\\Vintrel_Turnways_Front.EXE", &LowerCase), "Vintrel_turnways_front");
}

}  // namespace
