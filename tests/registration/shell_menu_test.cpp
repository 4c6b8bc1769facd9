// A file's context menu as the shell builds it for Explorer (the file's folder's
// IShellFolder::GetUIObjectOf, which looks the handlers up in the registry), for a .jpg and a
// .txt file, with the stand-in handler beside this program registered by the commit. The shell
// reads a policy once per process, so each state is read by a process of its own: this program
// again, running its disabled case only, which prints the menus' texts.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
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

// Run by ShellMenuTest only, in a process of its own: prints "FILE|TEXT|" for each item of the
// top level of each file's context menu. The apartment ends with the process.
TEST(ShellMenuChild, DISABLED_PrintsTheMenus) {
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));  // single-threaded, as Explorer's windows are
  for (const wchar_t* name : kFiles) {
    PIDLIST_ABSOLUTE parsed = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SHParseDisplayName((FilesFolder() / name).c_str(), nullptr, &parsed, 0, nullptr));
    const std::unique_ptr<ITEMIDLIST, decltype(&CoTaskMemFree)> item(parsed, &CoTaskMemFree);
    ComPtr<IShellFolder> folder;
    PCUITEMID_CHILD child = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        SHBindToParent(item.get(), IID_IShellFolder, reinterpret_cast<void**>(folder.GetAddressOf()), &child));
    ComPtr<IContextMenu> menu;
    ASSERT_HRESULT_SUCCEEDED(folder->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                                   reinterpret_cast<void**>(menu.GetAddressOf())));
    const testing_support::MenuHandle popup(CreatePopupMenu());
    ASSERT_HRESULT_SUCCEEDED(menu->QueryContextMenu(popup.get(), 0, 1, 0x7FFF, CMF_NORMAL));
    for (int index = 0; index < GetMenuItemCount(popup.get()); ++index) {
      wchar_t text[260] = {};
      GetMenuStringW(popup.get(), static_cast<UINT>(index), text, 260, MF_BYPOSITION);
      std::printf("%s|%s|\n", base::Narrow(name).c_str(), base::Narrow(text).c_str());
    }
  }
  std::fflush(stdout);
}

struct Value {
  DWORD type;
  std::vector<BYTE> data;
};

// A registry value set, or removed when none is given, for one test and given back as it was
// when the guard goes, whatever happened; a key made for it goes too.
class ValueGuard {
public:
  ValueGuard(HKEY root, const wchar_t* key, const wchar_t* name, const std::optional<Value>& value)
      : root_(root), key_(key), name_(name) {
    DWORD made = 0, type = 0, size = 0;
    EXPECT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, handle_.put(), &made),
              ERROR_SUCCESS);
    created_ = made == REG_CREATED_NEW_KEY;
    if (RegQueryValueExW(handle_.get(), name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      old_ = Value{type, std::vector<BYTE>(size)};
      RegQueryValueExW(handle_.get(), name, nullptr, nullptr, old_->data.data(), &size);
    }
    Put(value);
  }
  ~ValueGuard() {
    Put(old_);
    handle_.reset();
    if (created_) RegDeleteKeyW(root_, key_);
  }
  ValueGuard(const ValueGuard&) = delete;
  ValueGuard& operator=(const ValueGuard&) = delete;

private:
  void Put(const std::optional<Value>& value) {
    if (!value) {
      RegDeleteValueW(handle_.get(), name_);
      return;
    }
    EXPECT_EQ(RegSetValueExW(handle_.get(), name_, 0, value->type, value->data.data(),
                             static_cast<DWORD>(value->data.size())),
              ERROR_SUCCESS)
        << base::Narrow(key_) << " : " << base::Narrow(name_);
  }

  HKEY root_;
  const wchar_t *key_, *name_;
  testing_support::KeyHandle handle_;
  bool created_ = false;
  std::optional<Value> old_;
};

struct State {
  const char* name;
  bool registered;  // else registered, then removed (削除 and OK)
  bool enforce;     // the policy that admits only approved shell extensions
  bool approved;    // the handler's Shell Extensions\Approved entry, as the package writes it
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
                         registration::AnsiProgramPath(testing_support::OwnProgram().wstring(), store_.AnsiCodePage()));
  }

  settings::WinRegistryStore store_;
};

TEST_P(ShellMenuTest, TheStandInsEntriesForJpgAndTxt) {
  const State& state = GetParam();
  const std::wstring_view name = L"vintrel_turnways";
  const auto* text = reinterpret_cast<const BYTE*>(name.data());
  const Value enforce{REG_DWORD, {1, 0, 0, 0}}, approval{REG_SZ, {text, text + (name.size() + 1) * sizeof(wchar_t)}};
  // The policy where Microsoft documents it, in the user's policies key; a value in the machine's,
  // which the shell looks up first and which then decides, is set aside. An Approved entry of the
  // user's approves the handler as the machine's does (where the package writes it): set aside too.
  const ValueGuard machinePolicy(HKEY_LOCAL_MACHINE, kPolicies, kEnforce, std::nullopt);
  const ValueGuard policy(HKEY_CURRENT_USER, kPolicies, kEnforce, state.enforce ? enforce : std::optional<Value>());
  const ValueGuard userApproved(HKEY_CURRENT_USER, kApproved, kClsid, std::nullopt);
  const ValueGuard approved(HKEY_LOCAL_MACHINE, kApproved, kClsid, state.approved ? approval : std::optional<Value>());
  Commit(true);
  if (!state.registered) Commit(false);
  BOOL wow64 = FALSE;
  if (state.registered && IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
    // The i686 program on 64-bit Windows: what its 32-bit shell shows is the x86 registration.
    testing_support::KeyHandle key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + registration::kClassKey).c_str(),
                            0, KEY_READ | KEY_WOW64_64KEY, key.put()),
              ERROR_SUCCESS)
        << "the class key is in the 64-bit view too";
  }

  const auto run = testing_support::RunProgram(L"\"" + testing_support::OwnProgram().wstring() +
                                               L"\" --gtest_also_run_disabled_tests --gtest_filter=ShellMenuChild.*");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  for (const wchar_t* file : kFiles) {
    std::vector<std::string> seen, expected;
    for (const wchar_t* entry : registration_tests::kStandInEntries) {
      const std::string line = base::Narrow(file) + "|" + base::Narrow(entry) + "|";
      if (state.shown) expected.push_back(line);
      if (run.output.find(line) != std::string::npos) seen.push_back(line);
    }
    EXPECT_EQ(seen, expected) << "the stand-in's entries; the menus:\n" << run.output;
  }
}

const State kStates[] = {
    {"Registered", true, false, false, true},
    {"Removed", false, false, false, false},
    {"PolicyApproved", true, true, true, true},
    {"PolicyNotApproved", true, true, false, false},
};

INSTANTIATE_TEST_SUITE_P(States, ShellMenuTest, ::testing::ValuesIn(kStates),
                         [](const ::testing::TestParamInfo<State>& param) { return std::string(param.param.name); });

}  // namespace
