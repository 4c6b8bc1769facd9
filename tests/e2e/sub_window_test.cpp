// The detail dialog end to end: real keystrokes into Wine's hot-key control, the copies between
// the dialog and the main window, its placement, and the whole road from a fresh system to
// every key and value in the registry, read back with Wine's own reg.exe.
#include <algorithm>
#include <thread>

#include "tests/e2e/front.h"
#include "ui/scale.h"

#include <commctrl.h>

namespace e2e {
namespace {

using settings::kClassesRoot;
using settings::kCurrentUser;

using SubWindowTest = FrontTest;

void ExpectClosed(const MainWindow& main, const SubWindow& sub) {
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(sub.window) && IsEnabled(main.window); }))
      << "the dialog did not close, or the main window stayed disabled";
}

void ClickField(HWND field) {
  Click(field);
  DWORD thread = GetWindowThreadProcessId(field, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(thread) == field; })) << "the field did not take the focus";
}

// What the three fields (the control's words) and the check box show.
void ExpectShown(const SubWindow& sub, WORD hotKey90, WORD hotKey180, WORD hotKey270, bool addMenu180) {
  EXPECT_EQ(HotKeyOf(sub.hotKey90), hotKey90);
  EXPECT_EQ(HotKeyOf(sub.hotKey180), hotKey180);
  EXPECT_EQ(HotKeyOf(sub.hotKey270), hotKey270);
  EXPECT_EQ(IsChecked(sub.addMenu180), addMenu180);
}

// `key` typed into each field, which then shows `shown`; then the checked box cleared.
void TypeIntoEachFieldAndUncheck(const SubWindow& sub, WORD key, WORD shown) {
  for (HWND field : {sub.hotKey90, sub.hotKey180, sub.hotKey270}) {
    ClickField(field);
    Tap(key);
    EXPECT_TRUE(WaitUntil([&] { return HotKeyOf(field) == shown; }));
  }
  Click(sub.addMenu180);
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(sub.addMenu180); }));
}

// Keystrokes into the focused field, and the value it must settle on.
struct Keystroke {
  const char* name;
  std::vector<WORD> keys;  // pressed in order, released in reverse
  WORD expected;           // the control's word: key code, no modifier flags
};

// Letters and digits stay, whatever modifier was held (the control refuses every combination
// and keeps the bare key); everything else clears the field, the numeric keypad included.
const Keystroke kKeystrokes[] = {
    {"CtrlR", {VK_CONTROL, 'R'}, 'R'},
    {"F5", {VK_F5}, 0},
    {"Digit7", {'7'}, '7'},
    {"Keypad7", {VK_NUMPAD7}, 0},
    {"ShiftA", {VK_SHIFT, 'A'}, 'A'},
    {"CtrlShift9", {VK_CONTROL, VK_SHIFT, '9'}, '9'},
    {"AltZ", {VK_MENU, 'Z'}, 'Z'},
    {"CtrlF5", {VK_CONTROL, VK_F5}, 0},
    {"Home", {VK_HOME}, 0},
    {"Space", {VK_SPACE}, 0},
    {"Minus", {VK_OEM_MINUS}, 0},
    {"Digit0", {'0'}, '0'},
};

TEST_F(SubWindowTest, HotKeyFieldKeepsOnlyLettersAndDigits) {
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  HWND field = sub.hotKey90;
  ASSERT_EQ(FocusOf(UiThread()), field) << "the first opening starts in the clockwise field";

  for (const Keystroke& k : kKeystrokes) {
    SCOPED_TRACE(k.name);
    // First a letter the case does not end on, so the case's own result is seen to arrive.
    WORD prime = k.expected == 'B' ? 'C' : 'B';
    Tap(prime);
    ASSERT_TRUE(WaitUntil([&] { return HotKeyOf(field) == prime; }));
    Chord(k.keys);
    EXPECT_TRUE(WaitUntil([&] { return HotKeyOf(field) == k.expected; }, 3s))
        << "the field shows 0x" << std::hex << HotKeyOf(field);
    Settle();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(HotKeyOf(field), k.expected) << "the field changed again";
  }
  EXPECT_TRUE(IsWindowVisible(sub.window));
  ClickAndSettle(sub.cancel);
  ExpectClosed(main, sub);
  ClickToExit(main.cancel);
}

// Each field goes to its own value; Escape and Enter on the check box do nothing; Enter on
// the focused OK button closes the dialog and copies the values.
TEST_F(SubWindowTest, EachFieldToItsOwnValueAndEnterClicksOnlyTheFocusedButton) {
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  Click(main.regist);
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(main.unRegist); }));
  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  EXPECT_FALSE(IsEnabled(main.window)) << "the dialog is modal";

  const std::pair<HWND, WORD> typed[] = {{sub.hotKey90, '1'}, {sub.hotKey270, '2'}, {sub.hotKey180, '3'}};
  for (const auto& [field, key] : typed) {
    ClickField(field);
    Tap(key);
    EXPECT_TRUE(WaitUntil([&] { return HotKeyOf(field) == key; }));
  }
  Click(sub.addMenu180);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(sub.addMenu180); }));
  Tap(VK_ESCAPE);
  Tap(VK_RETURN);
  Tap(VK_TAB);  // from the check box to OK
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(UiThread()) == sub.ok; })) << "Tab did not reach OK";
  EXPECT_TRUE(IsWindowVisible(sub.window)) << "Escape or Enter on the check box closed the dialog";
  EXPECT_TRUE(IsChecked(sub.addMenu180)) << "Enter toggled the check box";
  Tap(VK_RETURN);
  ExpectClosed(main, sub);
  EXPECT_TRUE(Running().Running()) << "closing the dialog ended the program";

  ClickToExit(main.ok);
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, '1', '3', '2', true));
}

TEST_F(SubWindowTest, OkWithEmptyFieldsStoresZero) {
  PutDwords({{"gHotKey_90", 'A'}, {"gHotKey_180", 'B'}, {"gHotKey_270", 'C'}, {"gAddMenu180", 1}});
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  ExpectShown(sub, 'A', 'B', 'C', true);
  TypeIntoEachFieldAndUncheck(sub, VK_F5, 0);  // F5 is taken, then cleared by the filter
  Click(sub.ok);
  ExpectClosed(main, sub);
  ClickToExit(main.ok);
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, 0, 0, 0, false));
}

// Cancel and the dialog's close box copy nothing back, and every opening shows the main
// window's values again; the values reach the registry through the main window's OK.
TEST_F(SubWindowTest, CancelAndCloseBoxLeaveTheMainWindowsFieldsAsTheyWere) {
  PutDwords({{"gHotKey_90", 'R'}, {"gHotKey_180", '1'}, {"gHotKey_270", 'L'}, {"gAddMenu180", 1}});
  MainWindow main = Start();
  ASSERT_TRUE(main.window);

  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Cancel");
    SubWindow sub = OpenSub(main);
    ASSERT_TRUE(sub.window);
    ExpectShown(sub, 'R', '1', 'L', true);
    TypeIntoEachFieldAndUncheck(sub, 'X', 'X');
    if (closeBox) {
      auto box = FindHitTest(sub.window, HTCLOSE);
      ASSERT_TRUE(box.has_value()) << "no close box in the dialog's title bar";
      ClickAt(*box);
    } else {
      Click(sub.cancel);
    }
    ExpectClosed(main, sub);
    EXPECT_TRUE(Running().Running());
  }
  ClickToExit(main.ok);
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, 'R', '1', 'L', true));
}

// Values from the registry are shown as they are, without the filter: 0x10041 is cut to 16
// bits (A); F1 (0x70) stays; Ctrl + bit 8 + R shows as Ctrl+R. What an untouched field gives
// back is what the control holds: bits 8 to 12 are gone.
TEST_F(SubWindowTest, RegistryValuesAreShownUnfilteredAndWrittenBackAsTheControlHoldsThem) {
  PutDwords({{"gHotKey_90", 0x10041}, {"gHotKey_180", 0x70}, {"gHotKey_270", 0x4152}});
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  ExpectShown(sub, 0x0041, 0x0070, MAKEWORD('R', HOTKEYF_CONTROL), false);
  Click(sub.ok);
  ExpectClosed(main, sub);
  ClickToExit(main.ok);
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, 0x41, 0x70, 0x4052, false));
}

// At every display scale: the dialog's first opening is centred with the focus in the clockwise
// field, and later ones show it where the user dragged it.
class ScaledSubWindowTest : public ScaledFrontTest {};

TEST_P(ScaledSubWindowTest, FirstOpeningCentredLaterOnesWhereTheUserLeftIt) {
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  auto subs = TopLevelWindows(Running().Id(), L"TFm_Sub");
  ASSERT_EQ(subs.size(), 1u) << "the dialog is created at start-up";
  EXPECT_FALSE(IsWindowVisible(subs.front())) << "and hidden";

  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  EXPECT_EQ(TextOf(sub.window), kSubCaption);
  ExpectClientSizeAndCentred(sub.window, ui::ScalePixels(380, Dpi()), ui::ScalePixels(288, Dpi()));
  EXPECT_EQ(FocusOf(UiThread()), sub.hotKey90);
  const RECT first = WindowRect(sub.window);
  EXPECT_EQ(GetWindow(sub.window, GW_OWNER), AppWindow());

  // The user drags the dialog by its title bar.
  auto caption = FindHitTest(sub.window, HTCAPTION);
  ASSERT_TRUE(caption.has_value()) << "no title bar to drag";
  POINT to{caption->x - 150, caption->y - 60};
  Drag(*caption, to);
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(sub.window).left == first.left - 150; }))
      << "the drag did not move the dialog: left " << WindowRect(sub.window).left;
  RECT moved = WindowRect(sub.window);
  EXPECT_EQ(moved.top, first.top - 60);
  Click(sub.ok);
  ExpectClosed(main, sub);

  sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  RECT again = WindowRect(sub.window);
  EXPECT_EQ(again.left, moved.left);
  EXPECT_EQ(again.top, moved.top);
  Click(sub.cancel);
  ExpectClosed(main, sub);
  ClickToExit(main.cancel);
}

// From a fresh system to a registered handler with its options, by real clicks at every display
// scale, checked with Wine's reg.exe. Stale handler entries under the JPEG type go on the way;
// another handler there stays.
TEST_P(ScaledSubWindowTest, WholeRoadFromAFreshSystem) {
  const std::string stale = "jpegfile\\shellex\\ContextMenuHandlers\\vintrel_turnways";
  const std::string other = kOtherJpegHandlerKey;
  PutText(kClassesRoot, ".jpg", "", "jpegfile");
  PutText(kClassesRoot, stale, "", kClsid);
  PutText(kClassesRoot, other, "", "{00000000-0000-0000-0000-000000000001}");
  PutText(kClassesRoot, ".jpg\\shellex\\ContextMenuHandlers\\vintrel_turnways", "", kClsid);
  PutText(kClassesRoot, "vintrel_turnways", "", "stale");
  const auto jpegType = RegExeQuery("HKCR\\.jpg");  // Windows keeps more values there than Wine

  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  ASSERT_TRUE(IsEnabled(main.regist));
  Click(main.regist);
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(main.unRegist); }));
  PickSaveMethod(main, 3);  // stored as 4
  for (HWND check : {main.allowBreakDCF, main.keepWrite, main.allowAdjustMCU}) {
    bool was = IsChecked(check);
    Click(check);
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(check) != was; }));
  }
  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  Tap('R');  // into the clockwise field, which has the focus
  EXPECT_TRUE(WaitUntil([&] { return HotKeyOf(sub.hotKey90) == 'R'; }));
  Click(sub.addMenu180);
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(sub.addMenu180); }));
  Click(sub.ok);
  ExpectClosed(main, sub);
  ClickToExit(main.ok);

  auto sorted = [](std::vector<RegLine> lines) {
    std::sort(lines.begin(), lines.end(), [](const RegLine& a, const RegLine& b) { return a.name < b.name; });
    return lines;
  };
  auto options = RegExeQuery("HKCU\\Software\\Tallgrove\\vintrel_turnways");
  ASSERT_TRUE(options.has_value()) << "no options key";
  EXPECT_EQ(sorted(*options), sorted({{"gSaveMethod", "REG_DWORD", "0x4"},
                                      {"gAllowBreakDCF", "REG_DWORD", "0x1"},
                                      {"gKeepTimeStamp_Create", "REG_DWORD", "0x1"},
                                      {"gKeepTimeStamp_Write", "REG_DWORD", "0x0"},
                                      {"gAllowAdjustMCU", "REG_DWORD", "0x1"},
                                      {"gNotShowWarning", "REG_DWORD", "0x0"},
                                      {"gHotKey_90", "REG_DWORD", "0x52"},
                                      {"gHotKey_180", "REG_DWORD", "0x0"},
                                      {"gHotKey_270", "REG_DWORD", "0x0"},
                                      {"gAddMenu180", "REG_DWORD", "0x1"}}));
  using Lines = std::vector<RegLine>;
  EXPECT_EQ(RegExeQuery("HKCR\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways"), (Lines{{"", "REG_SZ", kClsid}}));
  EXPECT_EQ(RegExeQuery(std::string("HKCR\\") + kClsidKey), (Lines{{"", "REG_SZ", "vintrel_turnways"}}));
  auto server = RegExeQuery(std::string("HKCR\\") + kServerKey);
  ASSERT_TRUE(server.has_value()) << "no InProcServer32 key";
  EXPECT_EQ(sorted(*server), sorted({{"", "REG_SZ", FrontFolder() + "vintrel_turnways.dll"},
                                     {"ThreadingModel", "REG_SZ", "Apartment"}}));

  EXPECT_FALSE(RegExeQuery("HKCR\\" + stale).has_value());
  EXPECT_FALSE(RegExeQuery("HKCR\\.jpg\\shellex\\ContextMenuHandlers\\vintrel_turnways").has_value());
  EXPECT_FALSE(RegExeQuery("HKCR\\vintrel_turnways").has_value());
  EXPECT_TRUE(RegExeQuery("HKCR\\" + other).has_value()) << "another handler of the JPEG type went too";
  EXPECT_EQ(RegExeQuery("HKCR\\.jpg"), jpegType);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledSubWindowTest, kDpis, DpiName);

}  // namespace
}  // namespace e2e
