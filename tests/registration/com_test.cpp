// What the commit writes, read back by clients we did not write: the COM runtime, which must
// find and load the server it names (a stand-in DLL built with the tests), and Wine's reg.exe.
#include <windows.h>
#include <objbase.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "registration/commit.h"
#include "tests/registration/commit_fixture.h"
#include "tests/registration/handler_clsid.h"
#include "tests/support/reg_exe.h"

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
  const HRESULT status =
      CoCreateInstance(kHandlerClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return status;
}

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind(L'\\'));
}

std::string ToAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
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

TEST_P(ComTest, RegQueryShowsWhatTheCommitWrote) {
  Run(true);
  std::vector<std::string> seen;
  for (const char* key : {"HKCR\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways",
                          "HKCR\\CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}",
                          "HKCU\\Software\\Tallgrove\\vintrel_turnways"}) {
    const auto keys = testing_support::RegExeQuery(key, true);
    ASSERT_TRUE(keys.has_value()) << key;
    for (const auto& [name, values] : *keys)
      for (const auto& value : values) seen.push_back(name + "|" + value.name + "|" + value.type + "|" + value.data);
  }
  const std::string handler = "HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways";
  const std::string server = "HKEY_CLASSES_ROOT\\CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";
  const std::string options = "HKEY_CURRENT_USER\\Software\\Tallgrove\\vintrel_turnways";
  std::vector<std::string> expected = {
      handler + "||REG_SZ|{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}",
      server + "||REG_SZ|vintrel_turnways",
      server + "\\InProcServer32||REG_SZ|C:\\Tools\\vintrel_turnways.dll",
      server + "\\InProcServer32|ThreadingModel|REG_SZ|Apartment",
      options + "|gSaveMethod|REG_DWORD|0x3",
      options + "|gAllowBreakDCF|REG_DWORD|0x1",
      options + "|gKeepTimeStamp_Create|REG_DWORD|0x1",
      options + "|gKeepTimeStamp_Write|REG_DWORD|0x0",
      options + "|gAllowAdjustMCU|REG_DWORD|0x0",
      options + "|gNotShowWarning|REG_DWORD|0x0",
      options + "|gHotKey_90|REG_DWORD|0x52",
      options + "|gHotKey_180|REG_DWORD|0x0",
      options + "|gHotKey_270|REG_DWORD|0x404c",
      options + "|gAddMenu180|REG_DWORD|0x1",
  };
  std::sort(seen.begin(), seen.end());  // reg.exe lists the values by name
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected);
}

// The program copied into a folder whose Shift-JIS name holds two trail bytes equal to "\"
// registers the whole folder, and COM loads the server from there.
TEST_P(ComTest, DoubleByteFolderIsRegisteredWhole) {
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8)";
  const std::wstring folder = OwnFolder() + L"\\\u30BD\u30D5\u30C8\u8868";  // ソフト表
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\register_here.exe").c_str(), (folder + L"\\register_here.exe").c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileW((OwnFolder() + L"\\vintrel_turnways.dll").c_str(), (folder + L"\\vintrel_turnways.dll").c_str(), FALSE));

  const Finished run = RunProgram(L"\"" + folder + L"\\register_here.exe\"");
  ASSERT_EQ(run.exitCode, 0u) << run.output;

  const std::string server = ToAnsi(folder + L"\\vintrel_turnways.dll");
  ASSERT_NE(server.find("\x83\x5C\x83\x74\x83\x67\x95\x5C\\vintrel_turnways.dll"), std::string::npos)
      << "not the Shift-JIS bytes of the folder";
  const auto value = testing_support::GetRaw(Store(), kClassesRoot, registration::kServerKey, "");
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), server + '\0');

  {
    Apartment apartment;
    ASSERT_HRESULT_SUCCEEDED(apartment.status);
    EXPECT_EQ(CreateHandler(), S_OK);
    EXPECT_NE(GetModuleHandleW((folder + L"\\vintrel_turnways.dll").c_str()), nullptr);
  }
  // Best-effort: a copy that is still loaded is replaced at the next run.
  DeleteFileW((folder + L"\\register_here.exe").c_str());
  DeleteFileW((folder + L"\\vintrel_turnways.dll").c_str());
  RemoveDirectoryW(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Stores, ComTest, ::testing::Values(testing_support::StoreKind::Windows),
                         testing_support::StoreName);

}  // namespace
