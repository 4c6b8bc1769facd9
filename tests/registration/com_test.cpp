// What the commit writes, read back by clients we did not write: the COM runtime, which must
// find and load the server it names (a stand-in DLL built with the tests), and Wine's reg.exe;
// and where the options go with the real program user's SID.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "base/text.h"
#include "registration/commit.h"
#include "settings/options_location.h"
#include "settings/user_sid.h"
#include "tests/registration/commit_fixture.h"
#include "tests/registration/handler_clsid.h"
#include "tests/registration/snapshot.h"
#include "tests/support/files.h"
#include "tests/support/handles.h"
#include "tests/support/reg_exe.h"
#include "tests/support/test_files.h"

namespace {

using namespace settings;
using registration::Commit;
using registration_tests::kHandlerClsid;
using testing_support::Finished;
using testing_support::RunProgram;

struct Apartment {
  HRESULT status = CoInitialize(nullptr);
  Apartment() = default;
  ~Apartment() {
    if (SUCCEEDED(status)) CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

// Asks COM for the handler's class in process; the object made, if any, is released at once.
HRESULT CreateHandler() {
  IUnknown* object = nullptr;
  const HRESULT status = CoCreateInstance(kHandlerClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                          reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return status;
}

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string ToAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

// What `reg.exe query KEY /s` lists for each key, one "key|name|type|data" line per value,
// sorted (reg.exe lists the values by name).
std::vector<std::string> RegQuery(const std::vector<std::string>& keys) {
  std::vector<std::string> seen;
  for (const std::string& key : keys) {
    const auto found = testing_support::RegExeQuery(key, true);
    EXPECT_TRUE(found.has_value()) << key;
    if (!found) continue;
    for (const auto& [name, values] : *found)
      for (const auto& value : values) seen.push_back(name + "|" + value.name + "|" + value.type + "|" + value.data);
  }
  std::sort(seen.begin(), seen.end());
  return seen;
}

// The ten values of CommitTest::Chosen() as reg.exe shows them in `key`.
std::vector<std::string> ChosenAsRegShowsThem(const std::string& key) {
  return {
      key + "|gSaveMethod|REG_DWORD|0x3",           key + "|gAllowBreakDCF|REG_DWORD|0x1",
      key + "|gKeepTimeStamp_Create|REG_DWORD|0x1", key + "|gKeepTimeStamp_Write|REG_DWORD|0x0",
      key + "|gAllowAdjustMCU|REG_DWORD|0x0",       key + "|gNotShowWarning|REG_DWORD|0x0",
      key + "|gHotKey_90|REG_DWORD|0x52",           key + "|gHotKey_180|REG_DWORD|0x0",
      key + "|gHotKey_270|REG_DWORD|0x404c",        key + "|gAddMenu180|REG_DWORD|0x1",
  };
}

class ComTest : public registration_tests::CommitTest {};

TEST_P(ComTest, ComCreatesTheRegisteredServerUntilItIsRemoved) {
  wchar_t clsid[40];
  ASSERT_GT(StringFromGUID2(kHandlerClsid, clsid, 40), 0);
  EXPECT_EQ(ToAnsi(clsid), registration::kClsid);

  // The stand-in DLL lies next to this program, where the server path of its own path points.
  const std::string program = OwnPath();
  const std::string server = registration::ServerPath(program, Store().AnsiCodePage());
  ASSERT_NE(GetFileAttributesA(server.c_str()), INVALID_FILE_ATTRIBUTES) << server;

  Apartment apartment;
  ASSERT_HRESULT_SUCCEEDED(apartment.status);
  EXPECT_EQ(CreateHandler(), REGDB_E_CLASSNOTREG) << "registered before the commit";

  Commit(Store(), {}, true, Options{}, program);
  EXPECT_EQ(CreateHandler(), S_OK);
  EXPECT_NE(GetModuleHandleA(server.c_str()), nullptr) << "not loaded from " << server;

  Commit(Store(), {}, false, Options{}, program);
  EXPECT_EQ(CreateHandler(), REGDB_E_CLASSNOTREG);
}

// What the shell asks of the handler it loads (shell_menu_test, on Windows): the stand-in's
// IContextMenu adds its three entries with the ids given, none when only the default is wanted.
TEST_P(ComTest, TheStandInIsAContextMenuHandler) {
  Commit(Store(), {}, true, Options{}, OwnPath());
  Apartment apartment;
  ASSERT_HRESULT_SUCCEEDED(apartment.status);
  IContextMenu* handler = nullptr;
  ASSERT_EQ(CoCreateInstance(kHandlerClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                             reinterpret_cast<void**>(&handler)),
            S_OK);
  const testing_support::MenuHandle menu(CreatePopupMenu());
  EXPECT_EQ(handler->QueryContextMenu(menu.get(), 0, 100, 200, CMF_DEFAULTONLY), S_OK);
  EXPECT_EQ(handler->QueryContextMenu(menu.get(), 0, 100, 200, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 3));
  handler->Release();
  ASSERT_EQ(GetMenuItemCount(menu.get()), 3);
  for (UINT id = 100; id < 103; ++id) {
    wchar_t text[64] = {};
    EXPECT_GT(GetMenuStringW(menu.get(), id, text, 64, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, registration_tests::kStandInEntries[id - 100]);
  }
}

TEST_P(ComTest, RegQueryShowsWhatTheCommitWrote) {
  Run(true);
  const std::string handler = "HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways";
  const std::string server = "HKEY_CLASSES_ROOT\\CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";
  std::vector<std::string> expected = ChosenAsRegShowsThem("HKEY_CURRENT_USER\\Software\\Tallgrove\\vintrel_turnways");
  for (const std::string& line :
       {handler + "||REG_SZ|{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}", server + "||REG_SZ|vintrel_turnways",
        server + "\\InProcServer32||REG_SZ|C:\\Tools\\vintrel_turnways.dll",
        server + "\\InProcServer32|ThreadingModel|REG_SZ|Apartment"})
    expected.push_back(line);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(RegQuery({"HKCR\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways",
                      "HKCR\\CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}",
                      "HKCU\\Software\\Tallgrove\\vintrel_turnways"}),
            expected);
}

// The file of the module whose code made `object`.
std::wstring ModuleOf(IUnknown* object) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          *reinterpret_cast<LPCWSTR*>(object), &module))
    return {};
  wchar_t path[MAX_PATH];
  return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

// The program copied into a folder below C:\ whose name is double-byte in code page 932 (ソフト表,
// two trail bytes equal to "\") or has no exact form there (Zoë would come out best fit as
// Zoe, 한글 as ??), or is too deep for the DLL's path to stay within MAX_PATH: the registered
// server path names the DLL beside the copy, and COM loads the server from there.
TEST_P(ComTest, ProgramFolderOutsideTheAnsiCodePageIsRegisteredAsTheSameFolder) {
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8)";
  const std::wstring deep = L"vt_deep" + std::wstring(230, L'd');  // the copy's path: 258 characters
  const std::pair<const char*, const wchar_t*> folders[] = {{"ソフト表", L"\u30BD\u30D5\u30C8\u8868"},
                                                            {"vt_Zoë", L"vt_Zo\u00EB"},
                                                            {"vt_한글", L"vt_\uD55C\uAE00"},
                                                            {"deep", deep.c_str()}};
  for (const auto& [label, name] : folders) {
    const std::wstring folder = std::wstring(L"C:\\") + name;
    SCOPED_TRACE(label);
    testing_support::CopiesFolder copies(folder);
    const std::filesystem::path own = testing_support::OwnProgramFolder();
    ASSERT_FALSE(copies.Copy(own / L"register_here.exe", L"register_here.exe").empty());
    const std::wstring dll = copies.Copy(own / L"vintrel_turnways.dll", L"vintrel_turnways.dll");
    ASSERT_FALSE(dll.empty());

    const Finished run = RunProgram(L"\"" + folder + L"\\register_here.exe\"");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const auto value = testing_support::GetRaw(Store(), kClassesRoot, registration::kServerKey, "");
    ASSERT_EQ(value.type, kRegSz);
    ASSERT_FALSE(value.data.empty());
    const std::string server(value.data.begin(), value.data.end() - 1);
    if (name[0] == L'\u30BD') {
      EXPECT_EQ(server, "C:\\\x83\x5C\x83\x74\x83\x67\x95\x5C\\vintrel_turnways.dll") << "not the Shift-JIS bytes";
    }
    EXPECT_TRUE(testing_support::SameFile(base::Widen(server, CP_ACP), dll)) << server;
    EXPECT_LE(base::Widen(server, CP_ACP).size(), 259u) << server;

    Apartment apartment;
    ASSERT_HRESULT_SUCCEEDED(apartment.status);
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kHandlerClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    const std::wstring loaded = ModuleOf(object);
    object->Release();
    EXPECT_TRUE(testing_support::SameFile(loaded, dll)) << "loaded from elsewhere";
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, ComTest, ::testing::Values(testing_support::StoreKind::Windows),
                         testing_support::StoreName);

// The program run as another account than the desktop user's. Wine has one user only, so the
// desktop user's SID is made up and its hive is a key the fixture makes under HKEY_USERS.
class OtherDesktopUser : public registration_tests::CommitTest {};

TEST_P(OtherDesktopUser, OptionsGoToTheDesktopUsersHiveAndTheProgramUsersStay) {
  const auto program = settings::ProgramUserSid();
  ASSERT_TRUE(program.has_value());
  ASSERT_NE(*program, testing_support::kOtherUserSid);
  const OptionsLocation optionsAt = FindOptionsLocation(Store(), program, testing_support::kOtherUserSid);
  ASSERT_EQ(optionsAt.root, kUsers);

  // Options an earlier run left for the program's own user.
  testing_support::PutRaw(Store(), kCurrentUser, std::string(kOptionsKey).substr(1), "gHotKey_90", kRegDword,
                          {'X', 0, 0, 0});
  const std::vector<std::pair<Key, std::string>> own = {{kCurrentUser, "Software\\Tallgrove"}};
  const auto before = registration_tests::Snapshot(Store(), own);

  const std::string key = std::string("HKEY_USERS\\") + testing_support::kOtherUserSid +
                          "\\Software\\Tallgrove\\vintrel_turnways";
  Commit(Store(), optionsAt, true, Chosen(), "C:\\Tools\\setup.exe");
  std::vector<std::string> expected = ChosenAsRegShowsThem(key);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(RegQuery({key}), expected);
  EXPECT_EQ(registration_tests::Snapshot(Store(), own), before);

  Commit(Store(), optionsAt, false, Chosen(), "C:\\Tools\\setup.exe");
  EXPECT_FALSE(testing_support::RegExeQuery(key).has_value());
  EXPECT_TRUE(testing_support::KeyExists(Store(), kUsers, OptionsParent())) << "Software\\Tallgrove stays";
  EXPECT_EQ(registration_tests::Snapshot(Store(), own), before);
}

INSTANTIATE_TEST_SUITE_P(Stores, OtherDesktopUser,
                         ::testing::Values(testing_support::StoreParam(testing_support::StoreKind::Windows, true)),
                         testing_support::StoreName);

// The program run as the desktop user: the location found from the real SIDs is the key under
// HKEY_CURRENT_USER, and the commit leaves the registry exactly as it always did.
class SameDesktopUser : public registration_tests::CommitTest {};

TEST_P(SameDesktopUser, CommitLeavesTheRegistryAsBefore) {
  EXPECT_EQ(reinterpret_cast<Key>(HKEY_USERS), kUsers);
  const auto program = settings::ProgramUserSid();
  ASSERT_TRUE(program.has_value());
  const OptionsLocation found = FindOptionsLocation(Store(), program, program);
  EXPECT_EQ(found, OptionsLocation{});
  const std::vector<std::pair<Key, std::string>> everything = {{kClassesRoot, ""}, {kCurrentUser, ""}, {kUsers, ""}};
  for (const bool registered : {true, false}) {
    SCOPED_TRACE(registered ? "register" : "remove");
    WipeTouchedKeys();
    Commit(Store(), OptionsLocation{}, registered, Chosen(), "C:\\Tools\\setup.exe");
    const auto today = registration_tests::Snapshot(Store(), everything);
    WipeTouchedKeys();
    Commit(Store(), found, registered, Chosen(), "C:\\Tools\\setup.exe");
    EXPECT_EQ(registration_tests::Snapshot(Store(), everything), today);
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, SameDesktopUser, ::testing::Values(testing_support::StoreKind::Windows),
                         testing_support::StoreName);

}  // namespace
