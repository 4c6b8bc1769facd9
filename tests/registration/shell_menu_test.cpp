// A file's context menu as the shell builds it for Explorer (the file's folder's
// IShellFolder::GetUIObjectOf, which looks the handlers up in the registry), for a .jpg and a
// .txt file, with the stand-in handler beside this program registered by the commit. The shell
// reads a policy once per process, so each state is read by a process of its own: this program
// again, running its disabled case only, which prints the menus' texts.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <map>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "registration/commit.h"
#include "settings/win_registry_store.h"
#include "tests/registration/handler_clsid.h"
#include "tests/support/handles.h"
#include "tests/support/reg_exe.h"
#include "tests/support/test_files.h"
#include "tests/support/wine.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr const wchar_t* kFiles[] = {L"photo.jpg", L"notes.txt"};
constexpr const wchar_t* kPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const wchar_t* kEnforce = L"EnforceShellExtensionSecurity";
constexpr const wchar_t* kApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr const wchar_t* kClsid = L"{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";

std::filesystem::path FilesFolder() { return std::filesystem::temp_directory_path() / L"vt_shell_menu"; }

std::wstring OwnProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path;
}

// The texts of the top level of `file`'s context menu.
std::vector<std::wstring> MenuTexts(const std::filesystem::path& file) {
  PIDLIST_ABSOLUTE parsed = nullptr;
  EXPECT_HRESULT_SUCCEEDED(SHParseDisplayName(file.c_str(), nullptr, &parsed, 0, nullptr)) << file;
  const std::unique_ptr<ITEMIDLIST, decltype(&CoTaskMemFree)> item(parsed, &CoTaskMemFree);
  ComPtr<IShellFolder> folder;
  PCUITEMID_CHILD child = nullptr;
  ComPtr<IContextMenu> menu;
  if (!item ||
      FAILED(SHBindToParent(item.get(), IID_IShellFolder, reinterpret_cast<void**>(folder.GetAddressOf()), &child)) ||
      FAILED(folder->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                   reinterpret_cast<void**>(menu.GetAddressOf())))) {
    ADD_FAILURE() << "no context menu for " << file;
    return {};
  }
  const testing_support::MenuHandle popup(CreatePopupMenu());
  EXPECT_HRESULT_SUCCEEDED(menu->QueryContextMenu(popup.get(), 0, 1, 0x7FFF, CMF_NORMAL));
  std::vector<std::wstring> texts;
  for (int index = 0, count = GetMenuItemCount(popup.get()); index < count; ++index) {
    wchar_t text[260] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 260;
    if (GetMenuItemInfoW(popup.get(), static_cast<UINT>(index), TRUE, &info)) texts.emplace_back(text);
  }
  return texts;
}

// Run only by ShellMenuTest, in a process of its own: prints "FILE|TEXT" for each menu item.
TEST(ShellMenuChild, DISABLED_PrintsTheMenus) {
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));  // Explorer's threads are single-threaded apartments
  for (const wchar_t* name : kFiles)
    for (const std::wstring& text : MenuTexts(FilesFolder() / name))
      std::printf("%s|%s\n", base::Narrow(name).c_str(), base::Narrow(text).c_str());
  std::fflush(stdout);
  CoUninitialize();
}

// A registry value given back as it was when the guard goes, whatever the test did to it.
class ValueGuard {
public:
  ValueGuard(HKEY root, const wchar_t* key, const wchar_t* name) : root_(root), path_(key), name_(name) {
    DWORD made = 0;
    EXPECT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key_.put(), &made),
              ERROR_SUCCESS);
    created_ = made == REG_CREATED_NEW_KEY;
    DWORD size = 0;
    if (RegQueryValueExW(key_.get(), name, nullptr, &type_, nullptr, &size) != ERROR_SUCCESS) return;
    old_.emplace(size);
    RegQueryValueExW(key_.get(), name, nullptr, &type_, old_->data(), &size);
  }
  ~ValueGuard() {
    if (old_)
      RegSetValueExW(key_.get(), name_, 0, type_, old_->data(), static_cast<DWORD>(old_->size()));
    else
      RegDeleteValueW(key_.get(), name_);
    key_.reset();
    if (created_) RegDeleteKeyW(root_, path_);  // made for the test, so empty again
  }
  ValueGuard(const ValueGuard&) = delete;
  ValueGuard& operator=(const ValueGuard&) = delete;

  void Set(DWORD type, const void* data, std::size_t size) {
    ASSERT_EQ(RegSetValueExW(key_.get(), name_, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
  }
  void Remove() { RegDeleteValueW(key_.get(), name_); }

private:
  HKEY root_;
  const wchar_t* path_;
  const wchar_t* name_;
  testing_support::KeyHandle key_;
  bool created_ = false;
  DWORD type_ = REG_NONE;
  std::optional<std::vector<BYTE>> old_;
};

struct State {
  const char* name;
  bool registered;  // else registered, then removed (削除 and OK)
  bool enforce;     // the policy that admits only approved shell extensions
  bool approved;    // the Shell Extensions\Approved entry
  bool x86View;     // a 32-bit process on 64-bit Windows, with the registration in the 32-bit view
  bool shown;
};

void PrintTo(const State& state, std::ostream* out) { *out << state.name; }

class ShellMenuTest : public ::testing::TestWithParam<State> {
protected:
  void SetUp() override {
    if (testing_support::RunningUnderWine()) GTEST_SKIP() << "Wine's shell loads no context-menu handlers";
    std::filesystem::create_directories(FilesFolder());
    for (const wchar_t* name : kFiles) std::ofstream(FilesFolder() / name).put('x');
  }
  void TearDown() override {
    if (IsSkipped()) return;
    Commit(false);
    std::error_code ignored;
    std::filesystem::remove_all(FilesFolder(), ignored);
  }
  void Commit(bool registered) {
    registration::Commit(store_, {}, registered, settings::Options{},
                         registration::AnsiProgramPath(OwnProgram(), store_.AnsiCodePage()));
  }

  settings::WinRegistryStore store_;
};

TEST_P(ShellMenuTest, TheStandInsEntriesForJpgAndTxt) {
  const State& state = GetParam();
  BOOL wow64 = FALSE;
  if (state.x86View && (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64))
    GTEST_SKIP() << "32-bit Windows: the registry has one view, the Registered case's";
  // The policy and the approval as the state wants them, and as they were once the case ends.
  ValueGuard enforce(HKEY_LOCAL_MACHINE, kPolicies, kEnforce), userEnforce(HKEY_CURRENT_USER, kPolicies, kEnforce);
  ValueGuard approved(HKEY_LOCAL_MACHINE, kApproved, kClsid);
  const DWORD one = 1;
  userEnforce.Remove();
  if (state.enforce)
    enforce.Set(REG_DWORD, &one, sizeof one);
  else
    enforce.Remove();
  const std::wstring name = L"vintrel_turnways";
  if (state.approved)
    approved.Set(REG_SZ, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  else
    approved.Remove();

  Commit(true);
  if (!state.registered) Commit(false);
  if (state.x86View) {
    testing_support::KeyHandle key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + registration::kClassKey).c_str(),
                            0, KEY_READ | KEY_WOW64_64KEY, key.put()),
              ERROR_SUCCESS)
        << "the class key is in the 64-bit view too";
  }

  const auto run = testing_support::RunProgram(L"\"" + OwnProgram() +
                                               L"\" --gtest_also_run_disabled_tests --gtest_filter=ShellMenuChild.*");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  std::istringstream output(run.output);
  std::map<std::string, std::vector<std::string>> menus;  // file: its menu's texts
  for (std::string line; std::getline(output, line);)
    if (const auto bar = line.find('|'); bar != std::string::npos)
      menus[line.substr(0, bar)].push_back(line.substr(bar + 1, line.find_last_not_of('\r') - bar));
  for (const wchar_t* file : kFiles) {
    const std::vector<std::string>& menu = menus[base::Narrow(file)];
    std::vector<std::string> seen, expected;
    std::string texts;
    for (const std::string& text : menu) texts += "\n  " + text;
    for (const wchar_t* entry : registration_tests::kStandInEntries) {
      if (state.shown) expected.push_back(base::Narrow(entry));
      if (std::find(menu.begin(), menu.end(), base::Narrow(entry)) != menu.end()) seen.push_back(base::Narrow(entry));
    }
    EXPECT_EQ(seen, expected) << "the stand-in's entries in the menu of " << base::Narrow(file) << ":" << texts;
  }
}

const State kStates[] = {
    {"Registered", true, false, false, false, true},
    {"Removed", false, false, false, false, false},
    {"PolicyApproved", true, true, true, false, true},
    {"PolicyNotApproved", true, true, false, false, false},
#ifndef _WIN64
    {"X86RegistrationIn32BitProcess", true, false, false, true, true},
#endif
};

INSTANTIATE_TEST_SUITE_P(States, ShellMenuTest, ::testing::ValuesIn(kStates),
                         [](const ::testing::TestParamInfo<State>& param) { return std::string(param.param.name); });

}  // namespace
