#include "tests/e2e/front.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "tests/support/handles.h"
#include "tests/support/registry_tree.h"
#include "tests/support/stores.h"

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

std::optional<std::uint32_t> Dword(settings::RegistryStore& store, const char* name) {
  auto raw = GetRaw(store, kCurrentUser, kOptionsKey, name);
  if (!raw.exists) return std::nullopt;
  if (raw.type != settings::kRegDword || raw.data.size() != 4) {
    ADD_FAILURE() << name << " is not a REG_DWORD (type " << raw.type << ")";
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(raw.data[0] | raw.data[1] << 8 | raw.data[2] << 16 |
                                    static_cast<std::uint32_t>(raw.data[3]) << 24);
}

}  // namespace

MainWindow MainWindow::Find(HWND window) {
  MainWindow main;
  main.window = window;
  auto button = [&](const wchar_t* text) {
    HWND found = FindControl(window, L"Button", text);
    EXPECT_NE(found, nullptr) << "no single button " << ui::Utf8(text);
    return found;
  };
  auto label = [&](const wchar_t* text) {
    HWND found = FindControl(window, L"Static", text);
    EXPECT_NE(found, nullptr) << "no single label " << ui::Utf8(text);
    return found;
  };
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
    EXPECT_NE(label, nullptr) << "no label " << ui::Utf8(labelText);
    if (!label) return nullptr;
    for (HWND field : Descendants(window, HOTKEY_CLASSW))
      if (WindowRect(field).top == WindowRect(label).top) return field;
    ADD_FAILURE() << "no hot-key field beside " << ui::Utf8(labelText);
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
  auto one = [&](const char* name, const std::optional<std::uint32_t>& value) {
    *out << name << '=';
    if (value)
      *out << "0x" << std::hex << *value << std::dec;
    else
      *out << "absent";
    *out << ' ';
  };
  one("gSaveMethod", o.gSaveMethod);
  one("gAllowBreakDCF", o.gAllowBreakDCF);
  one("gKeepTimeStamp_Create", o.gKeepTimeStamp_Create);
  one("gKeepTimeStamp_Write", o.gKeepTimeStamp_Write);
  one("gAllowAdjustMCU", o.gAllowAdjustMCU);
  one("gNotShowWarning", o.gNotShowWarning);
  one("gHotKey_90", o.gHotKey_90);
  one("gHotKey_180", o.gHotKey_180);
  one("gHotKey_270", o.gHotKey_270);
  one("gAddMenu180", o.gAddMenu180);
}

StoredOptions AllTen(std::uint32_t saveMethod, bool dcf, bool create, bool write, bool mcu, bool noWarning,
                     std::uint32_t hotKey90, std::uint32_t hotKey180, std::uint32_t hotKey270, bool addMenu180) {
  return {saveMethod, dcf, create, write, mcu, noWarning, hotKey90, hotKey180, hotKey270, addMenu180};
}

void FrontTest::SetUp() {
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
      HKEY key = nullptr;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".jpg", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, nullptr);
        RegCloseKey(key);
      }
    }
  }
}

namespace {
constexpr const char* kFontsKey = "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
}  // namespace

void FrontTest::UseSystemDpi(int dpi) {
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            &raw, nullptr),
            ERROR_SUCCESS);
  const testing_support::KeyHandle key(raw);
  if (!dpiChanged_) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(raw, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
      savedDpi_ = value;
    dpiChanged_ = true;
  }
  const DWORD value = static_cast<DWORD>(dpi);
  ASSERT_EQ(RegSetValueExA(raw, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
}

void FrontTest::RestoreSystemDpi() {
  if (!dpiChanged_) return;
  dpiChanged_ = false;
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  const testing_support::KeyHandle key(raw);
  if (savedDpi_)
    RegSetValueExA(raw, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*savedDpi_), sizeof *savedDpi_);
  else
    RegDeleteValueA(raw, "LogPixels");
  savedDpi_.reset();
}

void FrontTest::WipeKeys() {
  for (const auto& [root, path] : kOwnKeys) Wipe(store_, root, path);
}

std::wstring FrontTest::FrontExe() { return WindowsPath(VT_FRONT_EXE); }

std::string FrontTest::FrontFolder() {
  std::string exe = ui::Utf8(FrontExe());
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

MainWindow FrontTest::WaitForMain() {
  HWND window = WaitForVisibleWindow(program_->Id(), L"TFm_main");
  if (!window) {
    ADD_FAILURE() << "the main window did not show";
    return {};
  }
  Settle();
  return MainWindow::Find(window);
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
  HWND dialog = WaitForVisibleWindow(program_->Id(), L"TFm_Sub");
  if (!dialog) {
    ADD_FAILURE() << "the detail dialog did not show";
    return {};
  }
  Settle();
  return SubWindow::Find(dialog);
}

void FrontTest::PutDword(const char* name, std::uint32_t value) {
  PutRaw(store_, kCurrentUser, kOptionsKey, name, settings::kRegDword, testing_support::Dword(value));
}

void FrontTest::PutString(const char* name, const std::string& text) { PutText(kCurrentUser, kOptionsKey, name, text); }

void FrontTest::PutText(settings::Key root, const std::string& path, const std::string& name, const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  PutRaw(store_, root, path, name, settings::kRegSz, data);
}

StoredOptions FrontTest::ReadOptions() {
  return {Dword(store_, "gSaveMethod"),
          Dword(store_, "gAllowBreakDCF"),
          Dword(store_, "gKeepTimeStamp_Create"),
          Dword(store_, "gKeepTimeStamp_Write"),
          Dword(store_, "gAllowAdjustMCU"),
          Dword(store_, "gNotShowWarning"),
          Dword(store_, "gHotKey_90"),
          Dword(store_, "gHotKey_180"),
          Dword(store_, "gHotKey_270"),
          Dword(store_, "gAddMenu180")};
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
