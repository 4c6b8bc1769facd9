// The program end to end, through its main window: started as a user starts it, driven with
// the mouse and the keyboard, judged by what it shows and what it leaves in the registry.
#include <algorithm>
#include <array>
#include <filesystem>

#include "base/text.h"
#include "tests/e2e/front.h"
#include "tests/support/files.h"
#include "tests/support/registry_tree.h"
#include "tests/support/stores.h"

namespace e2e {
namespace {

using settings::kClassesRoot;
using settings::kCurrentUser;

using MainWindowTest = FrontTest;

// Whether the two rows show the wish: its button and labels enabled, the other row's greyed.
bool RowsShow(const MainWindow& main, bool registered) {
  bool ok = IsEnabled(main.regist) != registered && IsEnabled(main.unRegist) == registered;
  for (HWND label : main.registLabels) ok = ok && IsEnabled(label) != registered;
  for (HWND label : main.unRegistLabels) ok = ok && IsEnabled(label) == registered;
  return ok;
}

// RowsShow, waiting for the program to finish updating them, with a message per control.
void ExpectRows(const MainWindow& main, bool registered) {
  if (WaitUntil([&] { return RowsShow(main, registered); }, 2s)) return;
  EXPECT_EQ(IsEnabled(main.regist), !registered) << "登録";
  for (HWND label : main.registLabels) EXPECT_EQ(IsEnabled(label), !registered) << base::Narrow(TextOf(label));
  EXPECT_EQ(IsEnabled(main.unRegist), registered) << "削除";
  for (HWND label : main.unRegistLabels) EXPECT_EQ(IsEnabled(label), registered) << base::Narrow(TextOf(label));
}

void ExpectSaveMethodRow(const MainWindow& main, int row) {
  EXPECT_EQ(Ask(main.saveMethod, CB_GETCURSEL), row);
  EXPECT_EQ(AskText(main.saveMethod), kSaveMethodRows[row]);
}

// The save-method row and the five check boxes, in the window's order.
void ExpectOptions(const MainWindow& main, int row, const std::array<bool, 5>& checked) {
  ExpectSaveMethodRow(main, row);
  const HWND boxes[] = {main.allowBreakDCF, main.keepCreate, main.keepWrite, main.allowAdjustMCU, main.notShowWarning};
  for (std::size_t i = 0; i < checked.size(); ++i)
    EXPECT_EQ(IsChecked(boxes[i]), checked[i]) << base::Narrow(TextOf(boxes[i]));
}

void ClickCheck(HWND checkBox, bool expected) {
  Click(checkBox);
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(checkBox) == expected; })) << base::Narrow(TextOf(checkBox));
}

TEST_F(MainWindowTest, FreshSystemShowsTheDefaultsCentredAndCancelWritesNothing) {
  std::string before = Snapshot();
  MainWindow main = Start();
  ASSERT_TRUE(main.window);

  EXPECT_EQ(TextOf(main.window), kMainCaption);
  ExpectClientSizeAndCentred(main.window, 503, 527);

  ExpectRows(main, false);
  EXPECT_EQ(FocusOf(UiThread()), main.regist) << "Enter right after start-up must click 登録";
  ExpectOptions(main, 0, {false, true, true, false, false});

  // The hidden application window carries the title and owns the main window.
  HWND app = AppWindow();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(TextOf(app), kDefaultTitle);
  EXPECT_EQ(GetWindow(main.window, GW_OWNER), app);

  ClickToExit(main.cancel);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(MainWindowTest, RegisterWithOptionsThenRestartShowsThemAndRemoveDeletesEverything) {
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  Click(main.regist);
  ExpectRows(main, true);
  PickSaveMethod(main, 4);
  ClickCheck(main.allowBreakDCF, true);
  ClickCheck(main.keepCreate, false);
  ClickCheck(main.allowAdjustMCU, true);
  ClickCheck(main.notShowWarning, true);
  ClickToExit(main.ok);

  EXPECT_EQ(ReadString(kClassesRoot, kHandlerKey, ""), kClsid);
  EXPECT_EQ(ReadString(kClassesRoot, kClsidKey, ""), "vintrel_turnways");
  EXPECT_EQ(ReadString(kClassesRoot, kServerKey, ""), FrontFolder() + "vintrel_turnways.dll");
  EXPECT_EQ(ReadString(kClassesRoot, kServerKey, "ThreadingModel"), "Apartment");
  // The last row is stored as 3.
  EXPECT_EQ(ReadOptions(), AllTen(3, true, false, true, true, true, 0, 0, 0, false));
  EXPECT_TRUE(Exists(kClassesRoot, ".jpg")) << "the JPEG type key is created by every commit";

  main = Start();
  ASSERT_TRUE(main.window);
  ExpectRows(main, true);
  EXPECT_EQ(FocusOf(UiThread()), main.unRegist);
  ExpectOptions(main, 4, {true, false, true, true, true});

  Click(main.unRegist);
  ExpectRows(main, false);
  ClickToExit(main.ok);

  EXPECT_FALSE(Exists(kCurrentUser, kOptionsKey));
  EXPECT_TRUE(Exists(kCurrentUser, kVendorKey)) << "the vendor key stays";
  EXPECT_FALSE(Exists(kClassesRoot, kHandlerKey));
  EXPECT_FALSE(Exists(kClassesRoot, kClsidKey));
  EXPECT_TRUE(Exists(kClassesRoot, "*\\shellex\\ContextMenuHandlers"));
}

// Every way of closing the window but OK ends the program with 0 and writes nothing, after the
// user changed the wish and the options.
enum class CloseBy { CancelButton, AltF4, CloseBox };

class CloseWithoutOkTest : public FrontTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(CloseWithoutOkTest, LeavesTheRegistryUntouched) {
  PutDwords({{"gSaveMethod", 2}, {"gAllowBreakDCF", 1}});
  std::string before = Snapshot();

  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  ExpectSaveMethodRow(main, 2);
  Click(main.unRegist);
  ExpectRows(main, false);
  PickSaveMethod(main, 1);
  ClickCheck(main.allowBreakDCF, false);  // last, so a button has the focus: a drop-down list eats Alt+F4

  switch (GetParam()) {
    case CloseBy::CancelButton: Click(main.cancel); break;
    case CloseBy::AltF4: Chord({VK_MENU, VK_F4}); break;
    case CloseBy::CloseBox: {
      auto box = FindHitTest(main.window, HTCLOSE);
      ASSERT_TRUE(box.has_value()) << "no close box in the title bar";
      ClickAt(*box);
      break;
    }
  }
  auto code = Running().WaitExit();
  ASSERT_TRUE(code.has_value()) << "the program did not end";
  EXPECT_EQ(*code, 0u);
  EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseWithoutOkTest,
                         ::testing::Values(CloseBy::CancelButton, CloseBy::AltF4, CloseBy::CloseBox),
                         [](const ::testing::TestParamInfo<CloseBy>& p) {
                           switch (p.param) {
                             case CloseBy::CancelButton: return "CancelButton";
                             case CloseBy::AltF4: return "AltF4";
                             case CloseBy::CloseBox: return "CloseBox";
                           }
                           return "Unknown";
                         });

TEST_F(MainWindowTest, EscapeDoesNothingAndEnterClicksOnlyTheFocusedButton) {
  std::string before = Snapshot();
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  ASSERT_EQ(FocusOf(UiThread()), main.regist);
  Tap(VK_ESCAPE);
  Tap(VK_RETURN);  // clicks 登録, which has the focus; not OK
  ASSERT_TRUE(WaitUntil([&] { return RowsShow(main, true); })) << "Enter did not click the focused button";
  Settle();
  EXPECT_TRUE(Running().Running()) << "Escape or Enter closed the window";
  EXPECT_EQ(Snapshot(), before);
  ClickToExit(main.cancel);
  EXPECT_EQ(Snapshot(), before);
}

// A value of the wrong type: one error box while the window is being created, then the window
// with what was loaded before the failing value, and the rows showing the wish (the key
// exists, so: remove).
struct BadValue {
  const char* name;
  const char* text;  // stored as REG_SZ
  const wchar_t* message;
};

class WrongTypeTest : public FrontTest, public ::testing::WithParamInterface<BadValue> {};

TEST_P(WrongTypeTest, ShowsOneErrorBoxThenTheWindow) {
  PutDwords({{"gSaveMethod", 3}});
  PutString(GetParam().name, GetParam().text);
  std::string before = Snapshot();

  Launch(FrontExe());
  HWND box = WaitForErrorBox();
  ASSERT_NE(box, nullptr) << "no error box";
  EXPECT_TRUE(TopLevelWindows(Running().Id(), L"TFm_main").empty() ||
              !IsWindowVisible(TopLevelWindows(Running().Id(), L"TFm_main").front()))
      << "the main window showed before the error box was answered";
  EXPECT_EQ(TextOf(box), kDefaultTitle);
  EXPECT_EQ(BoxText(box), GetParam().message);
  auto buttons = Descendants(box, L"Button");
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(TextOf(buttons.front()), L"OK");
  EXPECT_EQ(GetWindow(box, GW_OWNER), AppWindow()) << "the box is owned by the application window";

  Click(buttons.front());
  MainWindow main = WaitForMain();
  ASSERT_TRUE(main.window);
  Settle();
  EXPECT_TRUE(ErrorBoxes().empty()) << "a second error box";
  ExpectRows(main, true);
  ExpectSaveMethodRow(main, 4);

  ClickToExit(main.cancel);
  EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Values, WrongTypeTest,
                         ::testing::Values(BadValue{"gAllowBreakDCF", "abc", L"'gAllowBreakDCF' のデータ型が不正です."},
                                           BadValue{"gHotKey_90", "12345", L"'gHotKey_90' の取得に失敗しました."}),
                         [](const ::testing::TestParamInfo<BadValue>& p) { return std::string(p.param.name); });

// A copy of the program named SETUP.EXE is titled "Setup": the error box's caption and the
// application window's text.
TEST_F(MainWindowTest, ProgramNamedSetupExeIsTitledSetup) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  testing_support::CopiesFolder copies(std::wstring(temp) + L"vt-e2e-setup");
  const std::wstring copy = copies.Copy(FrontExe(), L"SETUP.EXE");
  ASSERT_FALSE(copy.empty()) << GetLastError();

  PutString("gSaveMethod", "x");
  Launch(copy);
  HWND box = WaitForErrorBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), L"Setup");
  EXPECT_EQ(BoxText(box), L"'gSaveMethod' のデータ型が不正です.");
  ASSERT_NE(AppWindow(), nullptr);
  EXPECT_EQ(TextOf(AppWindow()), L"Setup");
  Click(FindControl(box, L"Button", L"OK"));
  MainWindow main = WaitForMain();
  ASSERT_TRUE(main.window);
  ClickToExit(main.cancel);
}

// The program copied into a folder whose name code page 932 cannot hold exactly (Zoë would
// come out best fit as another folder, 한글 as "??"): OK registers a server path that names the
// file beside the program, whatever form of the folder it takes.
struct ForeignFolder {
  const char* name;
  const wchar_t* folder;
};

class ForeignFolderTest : public FrontTest, public ::testing::WithParamInterface<ForeignFolder> {};

TEST_P(ForeignFolderTest, RegisteredServerIsTheDllBesideTheProgram) {
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8)";
  testing_support::CopiesFolder copies(GetParam().folder);
  const std::wstring exe = copies.Copy(FrontExe(), L"vintrel_turnways_front.exe");
  ASSERT_FALSE(exe.empty());
  // The handler is not built here: any file under its name stands for it.
  const std::wstring dll = copies.Copy(FrontExe(), L"vintrel_turnways.dll");
  ASSERT_FALSE(dll.empty());

  Launch(exe);
  MainWindow main = WaitForMain();
  ASSERT_TRUE(main.window);
  Click(main.regist);
  ExpectRows(main, true);
  ClickToExit(main.ok);

  const auto server = ReadString(kClassesRoot, kServerKey, "");
  ASSERT_TRUE(server.has_value());
  EXPECT_TRUE(testing_support::SameFile(base::Widen(*server, CP_ACP), dll)) << *server;
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, 0, 0, 0, false));
}

INSTANTIATE_TEST_SUITE_P(Folders, ForeignFolderTest,
                         ::testing::Values(ForeignFolder{"Zoe", L"C:\\vt_Zo\u00EB"},
                                           ForeignFolder{"Hangul", L"C:\\vt_\uD55C\uAE00"}),
                         [](const ::testing::TestParamInfo<ForeignFolder>& p) { return std::string(p.param.name); });

// Below a volatile key no lasting key can be created, so the options key cannot be: the commit
// reports it, the window stays open with what was written before, and OK works once the
// obstacle is gone.
TEST_F(MainWindowTest, CommitErrorKeepsTheWindowOpenAndOkCanBePressedAgain) {
  ASSERT_TRUE(testing_support::CreateVolatileKey(kCurrentUser, kVendorKey));

  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  Click(main.regist);
  ExpectRows(main, true);
  Click(main.ok);
  HWND box = WaitForErrorBox();
  ASSERT_NE(box, nullptr) << "the failed commit was not reported";
  EXPECT_EQ(TextOf(box), kDefaultTitle);
  EXPECT_EQ(BoxText(box), L"'\\Software\\Tallgrove\\vintrel_turnways' の設定に失敗しました.");
  Click(FindControl(box, L"Button", L"OK"));
  ASSERT_TRUE(WaitUntil([&] { return ErrorBoxes().empty(); }));
  Settle();
  EXPECT_TRUE(Running().Running()) << "the window closed after a failed commit";
  EXPECT_TRUE(IsWindowVisible(main.window));
  EXPECT_EQ(ReadString(kClassesRoot, kHandlerKey, ""), kClsid) << "what was written before the error stays";
  EXPECT_FALSE(Exists(kCurrentUser, kOptionsKey));

  WipeKey(kCurrentUser, kVendorKey);
  ClickToExit(main.ok);
  EXPECT_EQ(ReadOptions(), AllTen(0, false, true, true, false, false, 0, 0, 0, false));
}

// Registry links planted where the program must not follow them, each to a canary: 登録 and
// OK, and 削除 and OK, leave the canary as it was. A link above the options key stops 登録.
TEST_F(MainWindowTest, RegistryLinksAreNotFollowed) {
  const std::string canary = "Software\\VintrelTests\\e2e.canary";
  const std::string inServer = std::string("Software\\Classes\\") + kServerKey + "\\in";
  const std::pair<settings::Key, std::string> links[] = {{kCurrentUser, kOptionsKey},
                                                         {kCurrentUser, kVendorKey},
                                                         {kCurrentUser, std::string(kOptionsKey) + "\\in"},
                                                         {settings::kLocalMachine, inServer}};
  for (const auto& [root, link] : links) {
    for (const bool registered : {true, false}) {
      SCOPED_TRACE(link + (registered ? ", 登録" : ", 削除"));
      for (const auto& [wipeRoot, path] : {std::pair{kCurrentUser, canary},
                                           {kCurrentUser, std::string(kVendorKey)},
                                           {kClassesRoot, std::string(kClsidKey)}})
        WipeKey(wipeRoot, path);
      testing_support::PutCanary(Store(), kCurrentUser, canary);
      if (link.ends_with("\\in"))
        testing_support::PutRaw(Store(), root, link.substr(0, link.size() - 3), "x", settings::kRegSz, {0});
      testing_support::MakeLink(Store(), root, link, kCurrentUser, canary);

      MainWindow main = Start();
      ASSERT_TRUE(main.window);
      Click(registered ? main.regist : main.unRegist);
      ExpectRows(main, registered);
      if (registered && link == kVendorKey) {
        Click(main.ok);
        HWND box = WaitForErrorBox();
        ASSERT_NE(box, nullptr) << "the options key made through a link was not reported";
        Click(FindControl(box, L"Button", L"OK"));
        ASSERT_TRUE(WaitUntil([&] { return ErrorBoxes().empty(); }));
        ClickToExit(main.cancel);
      } else {
        ClickToExit(main.ok);
      }
      testing_support::ExpectCanary(Store(), kCurrentUser, canary);
    }
  }
  WipeKey(kCurrentUser, canary);
}

// The start-up show command: 3 maximises the main window (the controls keep their place),
// 7 minimises, and restored as the taskbar restores it the main window has the focus as after
// a normal start; both end with 0 when closed.
struct ShowCase {
  WORD command;
  const char* name;
};

class ShowCommandTest : public FrontTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowCommandTest, DecidesHowTheWindowShows) {
  Launch(FrontExe(), GetParam().command);
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    auto windows = TopLevelWindows(Running().Id(), L"TFm_main");
    if (windows.empty()) return false;
    window = windows.front();
    HWND app = AppWindow();
    return GetParam().command == SW_SHOWMAXIMIZED ? IsZoomed(window) != FALSE
                                                  : IsIconic(window) || (app && IsIconic(app));
  })) << "the window did not show "
      << GetParam().name;
  if (GetParam().command == SW_SHOWMAXIMIZED) {
    MainWindow main = MainWindow::Find(window);
    RECT ok = RectInClientOf(main.ok, window);
    EXPECT_EQ(ok.left, 320);
    EXPECT_EQ(ok.top, 496);
  } else {
    PostMessageW(AppWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    MainWindow main = MainWindow::Find(window);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(UiThread()) == main.regist; })) << "the focus is not on 登録";
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return RowsShow(main, true); })) << "Enter did not click 登録";
  }
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  auto code = Running().WaitExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Commands, ShowCommandTest,
                         ::testing::Values(ShowCase{SW_SHOWMAXIMIZED, "maximised"},
                                           ShowCase{SW_SHOWMINNOACTIVE, "minimised"}),
                         [](const ::testing::TestParamInfo<ShowCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace e2e
