// What the commit writes, read back by clients we did not write: the COM runtime, which must
// find and load the server it names (a stand-in DLL built with the tests), and Wine's reg.exe.
#include <windows.h>
#include <objbase.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "registration/commit.h"
#include "tests/registration/commit_fixture.h"
#include "tests/registration/handler_clsid.h"

namespace {

using namespace settings;
using registration::Commit;
using registration_tests::kHandlerClsid;

struct UniqueHandle {
  HANDLE handle = nullptr;
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : handle(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  void reset() {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
  }
};

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

struct Finished {
  DWORD exitCode = ~DWORD{0};
  std::string output;  // standard output and error, in the console's code page
};

// Runs a program to its end, collecting what it writes.
Finished RunProgram(std::wstring commandLine) {
  Finished finished;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueHandle readEnd;
  UniqueHandle writeEnd;
  if (!CreatePipe(&readEnd.handle, &writeEnd.handle, &inherit, 0)) return finished;
  SetHandleInformation(readEnd.handle, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd.handle;
  startup.hStdError = writeEnd.handle;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return finished;
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  writeEnd.reset();  // so that reading ends when the program does

  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd.handle, buffer, sizeof buffer, &read, nullptr) && read > 0) finished.output.append(buffer, read);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &finished.exitCode);
  return finished;
}

// reg.exe query output as "key|name|type|data" lines; the default value's name, which reg.exe
// shows in the user's language within parentheses, becomes empty.
std::vector<std::string> ParseRegQuery(const std::string& output) {
  std::vector<std::string> lines;
  std::string key;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.rfind("    ", 0) != 0) {
      key = line;
      continue;
    }
    line = line.substr(4);
    const std::size_t nameEnd = line.find("    ");
    const std::size_t typeEnd = line.find("    ", nameEnd + 4);
    if (nameEnd == std::string::npos || typeEnd == std::string::npos) {
      lines.push_back(key + "|?" + line);
      continue;
    }
    std::string name = line.substr(0, nameEnd);
    if (!name.empty() && name.front() == '(' && name.back() == ')') name.clear();
    lines.push_back(key + "|" + name + "|" + line.substr(nameEnd + 4, typeEnd - nameEnd - 4) + "|" +
                    line.substr(typeEnd + 4));
  }
  return lines;
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

  Commit(Store(), true, Options{}, program);
  EXPECT_EQ(CreateHandler(), S_OK);
  EXPECT_NE(GetModuleHandleA(server.c_str()), nullptr) << "not loaded from " << server;

  Commit(Store(), false, Options{}, program);
  EXPECT_EQ(CreateHandler(), REGDB_E_CLASSNOTREG);
}

TEST_P(ComTest, RegQueryShowsWhatTheCommitWrote) {
  Run(true);
  std::vector<std::string> seen;
  for (const char* key : {"HKCR\\*\\shellex\\ContextMenuHandlers\\vintrel_turnways",
                          "HKCR\\CLSID\\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}",
                          "HKCU\\Software\\Tallgrove\\vintrel_turnways"}) {
    const Finished query = RunProgram(L"reg.exe query \"" + std::wstring(key, key + strlen(key)) + L"\" /s");
    EXPECT_EQ(query.exitCode, 0u) << key << "\n" << query.output;
    for (std::string& line : ParseRegQuery(query.output)) seen.push_back(std::move(line));
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
