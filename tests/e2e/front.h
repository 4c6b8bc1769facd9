// The settings program as the end-to-end tests see it: its windows found by class and text,
// its registry keys, and a fixture that wipes those keys before and after every test and
// never leaves the program running.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "settings/win_registry_store.h"
#include "tests/e2e/desktop.h"
#include "tests/support/reg_exe.h"

namespace e2e {

// Window texts.
inline constexpr const wchar_t* kMainCaption =
    L"JPEGファイル回転プログラム - vintrel - エクスプローラ組込版 Version 1.18";
inline constexpr const wchar_t* kSubCaption = L"詳細な設定";
// The title of a program named vintrel_turnways_front.exe.
inline constexpr const wchar_t* kDefaultTitle = L"vintrel_turnways_front";
inline constexpr const wchar_t* kSaveMethodRows[] = {
    L"resultフォルダに保存します。",
    L"上書きします。元ファイルはゴミ箱に移動します。",
    L"上書きします。元ファイルは拡張子を変えて保存します。",
    L"上書きします。元ファイルはoriginalフォルダに保存します。",
    L"上書きします。元ファイルは保存しません。",
};

// Registry paths, as RegOpenKeyExA takes them (no leading backslash).
inline constexpr const char* kVendorKey = "Software\\Tallgrove";
inline constexpr const char* kOptionsKey = "Software\\Tallgrove\\vintrel_turnways";
inline constexpr const char* kHandlerKey = "*\\shellex\\ContextMenuHandlers\\vintrel_turnways";
inline constexpr const char* kClsid = "{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";
inline constexpr const char* kClsidKey = "CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";
inline constexpr const char* kServerKey = "CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}\\InProcServer32";
// Another handler of the JPEG type, planted by a test: the commit must leave it.
inline constexpr const char* kOtherJpegHandlerKey =
    "jpegfile\\shellex\\ContextMenuHandlers\\vintrel_turnways_e2e_other";

// The main settings window and its controls.
struct MainWindow {
  HWND window = nullptr;
  HWND regist = nullptr, unRegist = nullptr;
  std::vector<HWND> registLabels, unRegistLabels;
  HWND saveMethod = nullptr;
  HWND allowBreakDCF = nullptr, keepCreate = nullptr, keepWrite = nullptr, allowAdjustMCU = nullptr,
       notShowWarning = nullptr;
  HWND ok = nullptr, cancel = nullptr, sub = nullptr;

  static MainWindow Find(HWND window);  // fails the test when a control is missing
};

// The detail dialog and its controls; the hot-key fields are found by the label beside them.
struct SubWindow {
  HWND window = nullptr;
  HWND hotKey90 = nullptr, hotKey270 = nullptr, hotKey180 = nullptr;
  HWND addMenu180 = nullptr;
  HWND ok = nullptr, cancel = nullptr;

  static SubWindow Find(HWND window);
};

// The option values as stored, absent ones as nullopt.
struct StoredOptions {
  std::optional<std::uint32_t> gSaveMethod, gAllowBreakDCF, gKeepTimeStamp_Create, gKeepTimeStamp_Write,
      gAllowAdjustMCU, gNotShowWarning, gHotKey_90, gHotKey_180, gHotKey_270, gAddMenu180;
  friend bool operator==(const StoredOptions&, const StoredOptions&) = default;
};
void PrintTo(const StoredOptions& options, std::ostream* out);

// All ten values as one OK writes them for these settings.
StoredOptions AllTen(std::uint32_t saveMethod, bool dcf, bool create, bool write, bool mcu, bool noWarning,
                     std::uint32_t hotKey90, std::uint32_t hotKey180, std::uint32_t hotKey270, bool addMenu180);

// The registry keys the program owns are wiped before and after every test; the JPEG type key
// ".jpg", which the commit creates when it is missing, is put back as it was.
class FrontTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The program built next to this test, as a Windows path, and its folder with its "\".
  static std::wstring FrontExe();
  static std::string FrontFolder();

  // Starts the program (ending one still running from before) and does not wait.
  void Launch(const std::wstring& exe, std::optional<WORD> showCommand = std::nullopt);
  // Waits for the program's window of that class to show; the test fails when it does not.
  HWND WaitShown(const wchar_t* className);
  // Waits for the main window to show; the test fails when it does not.
  MainWindow WaitForMain();
  // Launch and WaitForMain.
  MainWindow Start(std::optional<WORD> showCommand = std::nullopt);
  Program& Running() { return *program_; }
  DWORD UiThread() const;
  // The hidden application window that owns the others; null when there is not exactly one.
  HWND AppWindow() const;

  // Clicks and waits for the program to have handled the click (a round trip through its
  // message queue after the input).
  void ClickAndSettle(HWND control);
  // Lets the program handle everything it was sent so far.
  void Settle();
  // Picks a save-method row with the mouse in the opened list.
  void PickSaveMethod(const MainWindow& main, int row);
  // Ends the program with a click on `button`; expects exit code 0.
  void ClickToExit(HWND button);

  // The error box the program shows, waiting for it; null when none shows.
  HWND WaitForErrorBox(Millis timeout = kTimeout);
  std::vector<HWND> ErrorBoxes();
  static std::wstring BoxText(HWND box);

  // Opens the detail dialog with a click on the main window's button.
  SubWindow OpenSub(const MainWindow& main);

  // The registry, through the program's own store.
  settings::WinRegistryStore& Store() { return store_; }
  void PutDwords(std::initializer_list<std::pair<const char*, std::uint32_t>> values);
  void PutString(const char* name, const std::string& text);
  void PutText(settings::Key root, const std::string& path, const std::string& name, const std::string& text);
  StoredOptions ReadOptions();
  std::optional<std::string> ReadString(settings::Key root, const std::string& path, const std::string& name);
  bool Exists(settings::Key root, const std::string& path);
  void WipeKey(settings::Key root, const std::string& path);
  // A text dump of every key and value the program may touch, to compare before and after.
  std::string Snapshot();

  // The system dpi (LogPixels) of the programs started from now on; Wine reads it when a
  // program starts. The value is put back as it was after the test. Windows takes a new display
  // scale at the next sign-in only: there the test is skipped unless the PC is at that dpi.
  void UseSystemDpi(int dpi);
  static bool CanSetSystemDpi();

private:
  void WipeKeys();
  void RestoreSystemDpi();

  settings::WinRegistryStore store_;
  bool jpegTypeExisted_ = false;
  std::optional<std::string> jpegTypeDefault_;
  std::optional<Program> program_;
  bool dpiChanged_ = false;
  std::optional<DWORD> savedDpi_;
};

// A test run at each of the usual display scales: 96, 120, 144 and 192 dpi, the program
// started at GetParam() dpi (INSTANTIATE_TEST_SUITE_P(Dpi, Suite, kDpis, DpiName)).
class ScaledFrontTest : public FrontTest, public ::testing::WithParamInterface<int> {
protected:
  void SetUp() override {
    FrontTest::SetUp();
    UseSystemDpi(GetParam());
  }
  int Dpi() const { return GetParam(); }
};
inline const auto kDpis = ::testing::Values(96, 120, 144, 192);
inline std::string DpiName(const ::testing::TestParamInfo<int>& p) { return "dpi" + std::to_string(p.param); }

// One value as Wine's own reg.exe prints it; the default value's name is empty.
using RegLine = testing_support::RegValue;
// The values of one key (full name, e.g. "HKCU\\Software\\..."), read with Wine's reg.exe;
// nullopt when it reports no such key.
std::optional<std::vector<RegLine>> RegExeQuery(const std::string& key);

bool IsChecked(HWND checkBox);
bool IsEnabled(HWND control);
// The hot-key control's word: virtual key in the low byte, HOTKEYF_* flags in the high byte.
WORD HotKeyOf(HWND field);

// The window's client area is width x height and the window stands in the middle of the screen.
void ExpectClientSizeAndCentred(HWND window, LONG width, LONG height);

}  // namespace e2e
