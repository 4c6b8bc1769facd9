#include "tests/e2e/front.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "app/dpi_awareness.h"
#include "tests/support/handles.h"
#include "tests/support/registry_tree.h"
#include "tests/support/stores.h"
#include "tests/support/test_files.h"
#include "tests/support/wine.h"
#include "ui/dpi.h"

#ifndef VT_FRONT_EXE
#error "VT_FRONT_EXE names the program under test"
#endif

namespace e2e {

using settings::kClassesRoot;
using settings::kCurrentUser;
using testing_support::GetRaw;
using testing_support::KeyExists;
using testing_support::PutRaw;
using testing_support::Wipe;

namespace {

struct Watched {
  settings::Key root;
  const char* path;
};
// The program's own keys and the handler entries it removes from the JPEG type (with the
// neighbour a test plants there): wiped before and after every test.
constexpr Watched kOwnKeys[] = {
    {kCurrentUser, kVendorKey},
    {kClassesRoot, kHandlerKey},
    {kClassesRoot, kClsidKey},
    {kClassesRoot, "vintrel_turnways"},
    {kClassesRoot, ".jpg\\shellex\\ContextMenuHandlers\\vintrel_turnways"},
    {kClassesRoot, "jpegfile\\shellex\\ContextMenuHandlers\\vintrel_turnways"},
    {kClassesRoot, kOtherJpegHandlerKey},
};
// Every key the program may write or delete, compared before and after.
constexpr Watched kWatched[] = {
    {kCurrentUser, kVendorKey},         {kClassesRoot, kHandlerKey},
    {kClassesRoot, kClsidKey},          {kClassesRoot, ".jpg"},
    {kClassesRoot, "vintrel_turnways"}, {kClassesRoot, "jpegfile\\shellex\\ContextMenuHandlers"},
};
// The ten values by their registry names.
constexpr std::pair<const char*, std::optional<std::uint32_t> StoredOptions::*> kStoredValues[] = {
    {"gSaveMethod", &StoredOptions::gSaveMethod},
    {"gAllowBreakDCF", &StoredOptions::gAllowBreakDCF},
    {"gKeepTimeStamp_Create", &StoredOptions::gKeepTimeStamp_Create},
    {"gKeepTimeStamp_Write", &StoredOptions::gKeepTimeStamp_Write},
    {"gAllowAdjustMCU", &StoredOptions::gAllowAdjustMCU},
    {"gNotShowWarning", &StoredOptions::gNotShowWarning},
    {"gHotKey_90", &StoredOptions::gHotKey_90},
    {"gHotKey_180", &StoredOptions::gHotKey_180},
    {"gHotKey_270", &StoredOptions::gHotKey_270},
    {"gAddMenu180", &StoredOptions::gAddMenu180},
};

}  // namespace

MainWindow MainWindow::Find(HWND window) {
  MainWindow main;
  main.window = window;
  auto control = [&](const wchar_t* className, const wchar_t* text) {
    HWND found = FindControl(window, className, text);
    EXPECT_NE(found, nullptr) << "no single " << base::Narrow(className) << " " << base::Narrow(text);
    return found;
  };
  auto button = [&](const wchar_t* text) { return control(L"Button", text); };
  auto label = [&](const wchar_t* text) { return control(L"Static", text); };
  main.regist = button(L"登録");
  main.unRegist = button(L"削除");
  main.registLabels = {label(L"WindowsにJPEG画像の無劣化回転機能を登録します。"),
                       label(L"（エクスプローラーの右クリックメニューを追加します）")};
  main.unRegistLabels = {label(L"Windowsから機能を削除します。Windowsを再起動し、"),
                         label(L"ファイルを削除するとアンインストール完了です。"),
                         label(L"オプションの登録内容も削除されます。")};
  auto combos = Descendants(window, L"ComboBox");
  EXPECT_EQ(combos.size(), 1u);
  main.saveMethod = combos.empty() ? nullptr : combos.front();
  main.allowBreakDCF = button(L"サムネイル画像の横回転を許す。");
  main.keepCreate = button(L"元ファイルの作成日付をコピーする。");
  main.keepWrite = button(L"元ファイルの更新日付をコピーする。");
  main.allowAdjustMCU = button(L"画像サイズがMCUの単位でない場合、");
  main.notShowWarning = button(L"画像サイズがMCUの単位でない場合も、");
  main.ok = button(L"OK");
  main.cancel = button(L"ｷｬﾝｾﾙ");
  main.sub = button(L"詳細な設定...");
  return main;
}

SubWindow SubWindow::Find(HWND window) {
  SubWindow sub;
  sub.window = window;
  // Each field sits on the line of its label.
  auto fieldBeside = [&](const wchar_t* labelText) -> HWND {
    HWND label = FindControl(window, L"Static", labelText);
    EXPECT_NE(label, nullptr) << "no label " << base::Narrow(labelText);
    if (!label) return nullptr;
    for (HWND field : Descendants(window, HOTKEY_CLASSW))
      if (WindowRect(field).top == WindowRect(label).top) return field;
    ADD_FAILURE() << "no hot-key field beside " << base::Narrow(labelText);
    return nullptr;
  };
  sub.hotKey90 = fieldBeside(L"右回りに回転");
  sub.hotKey270 = fieldBeside(L"左回りに回転");
  sub.hotKey180 = fieldBeside(L"180度回転");
  sub.addMenu180 = FindControl(window, L"Button", L"「180度の回転」をメニューに追加する。");
  sub.ok = FindControl(window, L"Button", L"OK");
  sub.cancel = FindControl(window, L"Button", L"ｷｬﾝｾﾙ");
  EXPECT_TRUE(sub.addMenu180 && sub.ok && sub.cancel) << "the dialog's check box or buttons are missing";
  return sub;
}

void PrintTo(const StoredOptions& o, std::ostream* out) {
  for (const auto& [name, member] : kStoredValues) {
    *out << name << '=';
    if (const auto& value = o.*member)
      *out << "0x" << std::hex << *value << std::dec << ' ';
    else
      *out << "absent ";
  }
}

StoredOptions AllTen(std::uint32_t saveMethod, bool dcf, bool create, bool write, bool mcu, bool noWarning,
                     std::uint32_t hotKey90, std::uint32_t hotKey180, std::uint32_t hotKey270, bool addMenu180) {
  return {saveMethod, dcf, create, write, mcu, noWarning, hotKey90, hotKey180, hotKey270, addMenu180};
}

void FrontTest::SetUp() {
  // Windows shows a DPI-unaware process other programs' windows scaled to 96 dpi: this one sees
  // them at their own scale, as the program lays them out.
  [[maybe_unused]] static const app::DpiAwareness declared = app::DeclareDpiAwareness();
  // The JPEG type key is the system's: it is put back as it was, not wiped.
  jpegTypeExisted_ = Exists(kClassesRoot, ".jpg");
  jpegTypeDefault_ = jpegTypeExisted_ ? ReadString(kClassesRoot, ".jpg", "") : std::nullopt;
  WipeKeys();
}

void FrontTest::TearDown() {
  program_.reset();  // ends the program if a failed test left it running
  RestoreSystemDpi();
  WipeKeys();
  if (!jpegTypeExisted_) {
    Wipe(store_, kClassesRoot, ".jpg");
  } else if (ReadString(kClassesRoot, ".jpg", "") != jpegTypeDefault_) {
    if (jpegTypeDefault_) {
      PutText(kClassesRoot, ".jpg", "", *jpegTypeDefault_);
    } else {
      testing_support::KeyHandle key;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".jpg", 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueA(key.get(), nullptr);
    }
  }
}

namespace {
constexpr const char* kFontsKey = "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
}  // namespace

bool FrontTest::CanSetSystemDpi() { return testing_support::RunningUnderWine(); }

void FrontTest::UseSystemDpi(int dpi) {
  if (!CanSetSystemDpi()) {
    if (dpi != ui::SystemDpi())
      GTEST_SKIP() << "needs the display at " << dpi << " dpi; this PC's is at " << ui::SystemDpi() << " dpi";
    return;
  }
  testing_support::KeyHandle key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            key.put(), nullptr),
            ERROR_SUCCESS);
  if (!dpiChanged_) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key.get(), "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
      savedDpi_ = value;
    dpiChanged_ = true;
  }
  const DWORD value = static_cast<DWORD>(dpi);
  ASSERT_EQ(RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
}

void FrontTest::RestoreSystemDpi() {
  if (!dpiChanged_) return;
  dpiChanged_ = false;
  testing_support::KeyHandle key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
  if (savedDpi_)
    RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*savedDpi_), sizeof *savedDpi_);
  else
    RegDeleteValueA(key.get(), "LogPixels");
  savedDpi_.reset();
}

void FrontTest::WipeKeys() {
  for (const auto& [root, path] : kOwnKeys) Wipe(store_, root, path);
}

std::wstring FrontTest::FrontExe() {
  return testing_support::TestFile("vintrel_turnways_front.exe", VT_FRONT_EXE).wstring();
}

std::string FrontTest::FrontFolder() {
  std::string exe = base::Narrow(FrontExe());
  return exe.substr(0, exe.find_last_of('\\') + 1);
}

MainWindow FrontTest::Start(std::optional<WORD> showCommand) {
  Launch(FrontExe(), showCommand);
  return WaitForMain();
}

void FrontTest::Launch(const std::wstring& exe, std::optional<WORD> showCommand) {
  program_.reset();
  program_.emplace(Program::Start(exe, showCommand));
}

HWND FrontTest::AppWindow() const {
  auto windows = TopLevelWindows(program_->Id(), L"TApplication");
  return windows.size() == 1 ? windows.front() : nullptr;
}

HWND FrontTest::WaitShown(const wchar_t* className) {
  HWND window = WaitForVisibleWindow(program_->Id(), className);
  if (window)
    Settle();
  else
    ADD_FAILURE() << base::Narrow(className) << " did not show";
  return window;
}

MainWindow FrontTest::WaitForMain() {
  HWND window = WaitShown(L"TFm_main");
  return window ? MainWindow::Find(window) : MainWindow{};
}

DWORD FrontTest::UiThread() const {
  auto windows = TopLevelWindows(program_->Id(), L"TFm_main");
  return windows.empty() ? 0 : GetWindowThreadProcessId(windows.front(), nullptr);
}

void FrontTest::Settle() {
  // Input reaches the program through its queue; give it a moment, then make sure it answers.
  std::this_thread::sleep_for(50ms);
  for (HWND window : TopLevelWindows(program_->Id(), L"TFm_main")) Ask(window, WM_NULL);
}

void FrontTest::ClickAndSettle(HWND control) {
  ASSERT_NE(control, nullptr);
  Click(control);
  Settle();
}

void FrontTest::PickSaveMethod(const MainWindow& main, int row) {
  ASSERT_NE(main.saveMethod, nullptr);
  Click(main.saveMethod);
  HWND list = WaitForVisibleWindow(program_->Id(), L"ComboLBox");
  ASSERT_NE(list, nullptr) << "the save-method list did not open";
  auto itemHeight = Ask(main.saveMethod, CB_GETITEMHEIGHT, 0);
  ASSERT_TRUE(itemHeight && *itemHeight > 0);
  RECT rect = WindowRect(list);
  LONG height = static_cast<LONG>(*itemHeight);
  LONG y = rect.top + 1 + row * height + height / 2;
  ASSERT_LT(y, rect.bottom) << "row " << row << " is not in the visible part of the list";
  ClickAt({(rect.left + rect.right) / 2, y});
  ASSERT_TRUE(WaitUntil([&] { return Ask(main.saveMethod, CB_GETCURSEL) == row; }))
      << "row " << row << " was not selected";
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(list); })) << "the list stayed open";
}

void FrontTest::ClickToExit(HWND button) {
  ASSERT_NE(button, nullptr);
  Click(button);
  auto code = program_->WaitExit();
  ASSERT_TRUE(code.has_value()) << "the program did not end";
  EXPECT_EQ(*code, 0u);
}

std::vector<HWND> FrontTest::ErrorBoxes() {
  std::vector<HWND> boxes;
  for (HWND box : TopLevelWindows(program_->Id(), L"#32770"))
    if (IsWindowVisible(box)) boxes.push_back(box);
  return boxes;
}

HWND FrontTest::WaitForErrorBox(Millis timeout) { return WaitForVisibleWindow(program_->Id(), L"#32770", timeout); }

std::wstring FrontTest::BoxText(HWND box) {
  // The message is the box's one non-empty text label (the icon's label has no text).
  std::wstring text;
  for (HWND label : Descendants(box, L"Static"))
    if (!TextOf(label).empty()) text += TextOf(label);
  return text;
}

SubWindow FrontTest::OpenSub(const MainWindow& main) {
  Click(main.sub);
  HWND dialog = WaitShown(L"TFm_Sub");
  return dialog ? SubWindow::Find(dialog) : SubWindow{};
}

void FrontTest::PutDwords(std::initializer_list<std::pair<const char*, std::uint32_t>> values) {
  for (const auto& [name, value] : values)
    PutRaw(store_, kCurrentUser, kOptionsKey, name, settings::kRegDword, testing_support::Dword(value));
}

void FrontTest::PutString(const char* name, const std::string& text) { PutText(kCurrentUser, kOptionsKey, name, text); }

void FrontTest::PutText(settings::Key root, const std::string& path, const std::string& name, const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  PutRaw(store_, root, path, name, settings::kRegSz, data);
}

StoredOptions FrontTest::ReadOptions() {
  StoredOptions options;
  for (const auto& [name, member] : kStoredValues)
    options.*member = testing_support::GetDword(store_, kCurrentUser, kOptionsKey, name);
  return options;
}

std::optional<std::string> FrontTest::ReadString(settings::Key root, const std::string& path, const std::string& name) {
  auto raw = GetRaw(store_, root, path, name);
  if (!raw.exists) return std::nullopt;
  EXPECT_EQ(raw.type, settings::kRegSz) << path << " " << name;
  std::string text(raw.data.begin(), raw.data.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

bool FrontTest::Exists(settings::Key root, const std::string& path) { return KeyExists(store_, root, path); }

void FrontTest::WipeKey(settings::Key root, const std::string& path) { Wipe(store_, root, path); }

std::string FrontTest::Snapshot() {
  std::vector<std::string> lines;
  for (const auto& [root, path] : kWatched) testing_support::AppendRegistryTree(root, path, lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::optional<std::vector<RegLine>> RegExeQuery(const std::string& key) {
  auto keys = testing_support::RegExeQuery(key);
  if (!keys) return std::nullopt;
  return keys->front().values;  // reg.exe names the key asked for first, then its sub-keys
}

bool IsChecked(HWND checkBox) { return Ask(checkBox, BM_GETCHECK) == BST_CHECKED; }

bool IsEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

WORD HotKeyOf(HWND field) { return static_cast<WORD>(Ask(field, HKM_GETHOTKEY).value_or(0xFFFF)); }

void ExpectClientSizeAndCentred(HWND window, LONG width, LONG height) {
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, width);
  EXPECT_EQ(client.bottom, height);
  const RECT outer = WindowRect(window);
  EXPECT_EQ(outer.left, std::max(0L, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2));
  EXPECT_EQ(outer.top, std::max(0L, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2));
}

}  // namespace e2e
