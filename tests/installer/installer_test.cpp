// The packages' life as an administrator lives it: msiexec installs, updates and removes the
// test packages (scripts/lib/make-test-packages) silently, and the outcome is read back through the
// registry, the file system and COM. Under Wine each width runs in a prefix of its own; on
// Windows from the test bundle, where Windows Installer itself is tested.
#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/support/handles.h"
#include "tests/support/reg_exe.h"
#include "tests/support/registry_tree.h"
#include "tests/support/test_files.h"
#include "tests/support/wine.h"

namespace {

namespace fs = std::filesystem;
using testing_support::RunProgram;
using testing_support::TestFile;

constexpr bool k64 = sizeof(void*) == 8;
const std::string kArch = k64 ? "x64" : "x86";
constexpr DWORD kFailed = 1603, kBusy = 1618, kOtherProcessor = 1633;  // msiexec's exit codes
constexpr wchar_t kClsid[] = L"{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}";
constexpr const wchar_t* kUpgradeCodes[] = {L"{6E1F3B52-9A47-4C0D-8E25-71B4D09A3F61}",   // x64
                                            L"{D93A70C4-1E58-4F26-B7A3-48C0E5D92B17}"};  // x86
constexpr wchar_t kApproved[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool On64BitWindows() {
  BOOL wow64 = FALSE;
  return k64 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}
std::string Next(const std::string& version) {  // 1.18.1 -> 1.18.2
  const std::size_t dot = version.rfind('.');
  return version.substr(0, dot + 1) + std::to_string(std::stoi(version.substr(dot + 1)) + 1);
}
const std::string kV0 = VT_VERSION, kV1 = Next(kV0), kV2 = Next(kV1);

fs::path Package(const std::string& version, bool handler, const std::string& arch = kArch) {
  const std::string name = "TEST-ONLY-vintrel_turnways-" + version + "-" + arch +
                           (handler ? "-stand-in-handler" : "-no-handler") + ".msi";
  return TestFile(fs::path("test-packages") / name, fs::path("test-packages") / name);
}
fs::path Helper(const char* name) { return TestFile(name, fs::path("../registration") / name); }

// The msiexec logs go beside the GoogleTest report, else to the temporary folder.
fs::path LogFolder() {
  std::string output = ::testing::GTEST_FLAG(output);
  if (output.rfind("xml:", 0) == 0) return fs::path(output.substr(4)).parent_path();
  return fs::temp_directory_path();
}

fs::path KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  fs::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}
fs::path ProgramFilesFolder() { return KnownFolder(FOLDERID_ProgramFiles) / L"Tallgrove"; }
const fs::path kInstalled = ProgramFilesFolder() / L"vintrel_turnways";

// msiexec ACTION PACKAGE UI (a package, or a product code with /x), with a verbose log; its exit
// code (1603 a failure, 1633 a package for another processor). Another installation in progress
// (1618: a fresh Windows may be busy with its own) is waited out, five times at most. Throws
// when msiexec runs past `limit` (it is ended then).
DWORD Msiexec(const char* action, const fs::path& package, const wchar_t* ui = L"/qn",
              std::chrono::milliseconds limit = std::chrono::minutes(5)) {
  static int run = 0;
  for (int attempt = 1;; ++attempt) {
    const fs::path log = LogFolder() / ("installer_test-" + kArch + "-" + std::to_string(++run) + ".log");
    const std::wstring line = L"msiexec.exe " + base::Widen(action) + L" \"" + package.wstring() + L"\" " + ui +
                              L" /norestart /l*v \"" + log.wstring() + L"\"";
    DWORD code = 0;
    try {
      code = RunProgram(line, limit).exitCode;
    } catch (const std::runtime_error& error) {
      throw std::runtime_error("msiexec " + std::string(action) + " " + package.filename().string() + ", log " +
                               log.string() + ": " + error.what());
    }
    std::printf("msiexec %s %s: %lu (log %s)\n", action, package.filename().string().c_str(),
                static_cast<unsigned long>(code), log.string().c_str());
    if (code != kBusy || attempt > 5) return code;
    std::printf("another installation is in progress: msiexec again in 10 s\n");
    std::this_thread::sleep_for(std::chrono::seconds(10));
  }
}

std::wstring Squashed(std::wstring guid) {  // a GUID as Windows Installer names its keys
  std::erase_if(guid, [](wchar_t c) { return c == L'{' || c == L'}' || c == L'-'; });
  std::wstring out(guid.rbegin() + 24, guid.rend());
  out.append(guid.rbegin() + 20, guid.rbegin() + 24).append(guid.rbegin() + 16, guid.rbegin() + 20);
  for (std::size_t i = 16; i < 32; i += 2) out.append({guid[i + 1], guid[i]});
  return out;
}

// A string value, or a number as its decimal digits; nullopt when there is none.
std::optional<std::wstring> Value(HKEY root, const std::wstring& key, const std::wstring& name) {
  wchar_t data[1024];
  DWORD type = 0, size = sizeof data;
  if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, data, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  DWORD number = 0;
  std::memcpy(&number, data, sizeof number);
  return type == REG_DWORD ? std::to_wstring(number) : std::wstring(data);
}

std::vector<std::string> Registration() {
  std::vector<std::string> lines;
  testing_support::AppendRegistryTree(settings::kClassesRoot, "*\\shellex\\ContextMenuHandlers\\vintrel_turnways",
                                      lines);
  testing_support::AppendRegistryTree(settings::kClassesRoot, "CLSID\\" + base::Narrow(kClsid), lines);
  return lines;
}
bool Approved() { return Value(HKEY_LOCAL_MACHINE, kApproved, kClsid) == L"vintrel_turnways"; }

// The program's own commit, run from the installed folder as OK runs it: registers, or with
// "remove" removes the registration as 削除 and OK do.
DWORD RegisterHere(const wchar_t* argument = L"") {
  const fs::path copy = kInstalled / L"register_here.exe";
  if (!CopyFileW(Helper("register_here.exe").c_str(), copy.c_str(), FALSE)) {
    const DWORD error = GetLastError();
    ADD_FAILURE() << "register_here.exe not copied to " << copy << ": error " << error;
    return ~DWORD{0};
  }
  const DWORD code = RunProgram(L"\"" + copy.wstring() + L"\" " + argument).exitCode;
  // A program just ended may be held for a moment longer (by a virus scanner, say).
  bool deleted = false;
  for (int i = 0; i < 50 && !(deleted = DeleteFileW(copy.c_str())); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const DWORD error = GetLastError();
  EXPECT_TRUE(deleted) << "register_here.exe not deleted from the installed folder: error " << error;
  return code;
}
DWORD ComCreatesTheHandler() { return RunProgram(L"\"" + Helper("com_client.exe").wstring() + L"\"").exitCode; }

// The uninstall entries that are ours, each as "name|publisher|version|NoModify|icon", or their
// keys' names, the product codes. Windows Installer writes a 32-bit package's entry in the
// registry's 32-bit view, a 64-bit one's in the 64-bit view: both are read (32-bit Windows has one).
std::vector<std::wstring> Entries(bool codes = false) {
  std::vector<std::wstring> entries;
  for (const REGSAM view : {REGSAM{KEY_WOW64_64KEY}, REGSAM{KEY_WOW64_32KEY}}) {
    testing_support::KeyHandle key;
    if ((view == KEY_WOW64_32KEY && !On64BitWindows()) ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_READ | view, key.put()) != ERROR_SUCCESS)
      continue;
    wchar_t name[256];
    for (DWORD i = 0, size = 256;
         RegEnumKeyExW(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = 256) {
      testing_support::KeyHandle entry;
      if (RegOpenKeyExW(key.get(), name, 0, KEY_READ | view, entry.put()) != ERROR_SUCCESS) continue;
      const auto shown = Value(entry.get(), L"", L"DisplayName");
      if (!shown || shown->find(L"VINTREL turnways") != 0) continue;
      if (codes) {
        entries.push_back(name);
        continue;
      }
      const auto icon = Value(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Installer\\Products\\" + Squashed(name),
                              L"ProductIcon");
      entries.push_back(*shown + L"|" + Value(entry.get(), L"", L"Publisher").value_or(L"") + L"|" +
                        Value(entry.get(), L"", L"DisplayVersion").value_or(L"") + L"|" +
                        Value(entry.get(), L"", L"NoModify").value_or(L"") + L"|" +
                        fs::path(icon.value_or(L"")).filename().wstring());
    }
  }
  return entries;
}
// The products of either width's upgrade code, as Windows Installer knows them and as their
// uninstall entries name them (Wine's msiexec can lose the upgrade code's key: see Install).
std::vector<std::wstring> Products() {
  const std::vector<std::wstring> entries = Entries(true);
  std::set<std::wstring> products(entries.begin(), entries.end());
  for (const wchar_t* upgrade : kUpgradeCodes) {
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgrade, 0, i, product) == ERROR_SUCCESS; ++i) products.insert(product);
  }
  return {products.begin(), products.end()};
}
// Installs (or updates to) a package. Wine 8 removes the whole UpgradeCodes key of the old
// product when it is removed late, where Windows removes only the old product's value: under
// Wine alone the value of the product installed (its uninstall entry's name) is put back, as
// Windows leaves it, so that the next update finds the product. On Windows nothing is put back.
DWORD Install(const fs::path& package) {
  const DWORD code = Msiexec("/i", package);
  if (code != 0 || !testing_support::RunningUnderWine()) return code;
  const std::wstring upgrade = Squashed(kUpgradeCodes[k64 ? 0 : 1]);  // the package's UpgradeCode
  for (const std::wstring& product : Entries(true))
    for (const wchar_t* key : {L"Software\\Classes\\Installer\\UpgradeCodes\\",
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes\\"})
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, (key + upgrade).c_str(), Squashed(product).c_str(), REG_SZ, L"", 2);
  return code;
}
std::vector<std::wstring> OneEntry(const std::string& version) {
  return {L"VINTREL turnways (" + base::Widen(kArch) + L")|Tallgrove|" + base::Widen(version) + L"|1|front.ico"};
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
// The shortcut in all users' Start menu, where Windows Installer puts a per-machine package's
// (ALLUSERS set); empty if none. Wine 8's msiexec puts it in the user's whatever ALLUSERS says:
// there alone the user's folder is looked in.
fs::path Shortcut(const KNOWNFOLDERID& folder = testing_support::RunningUnderWine() ? FOLDERID_Programs
                                                                                    : FOLDERID_CommonPrograms) {
  const fs::path link = KnownFolder(folder) / L"VINTREL turnways.lnk";
  std::error_code error;
  return fs::exists(link, error) ? link : fs::path();
}

// The installed folder holds the program, the guide of `version` and the handler if packed,
// nothing else; the shortcut points at the program.
void ExpectFiles(const std::string& version, bool handler) {
  std::vector<fs::path> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kInstalled, error)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  std::vector<fs::path> want{L"vintrel_turnways_front.exe", L"はじめにお読みください.txt"};
  if (handler) want.insert(want.begin(), L"vintrel_turnways.dll");
  EXPECT_EQ(names, want);
  EXPECT_EQ(Contents(kInstalled / L"vintrel_turnways_front.exe"),
            Contents(TestFile("vintrel_turnways_front.exe", "../../app/vintrel_turnways_front.exe")));
  if (handler) {
    EXPECT_EQ(Contents(kInstalled / L"vintrel_turnways.dll"), Contents(Helper("vintrel_turnways.dll")));
  }
  EXPECT_NE(Contents(kInstalled / L"はじめにお読みください.txt")
                .find(base::Narrow(L"バージョン " + base::Widen(version))),
            std::string::npos);
  const std::string link = Contents(Shortcut()), target = "vintrel_turnways\\vintrel_turnways_front.exe";
  const std::wstring wideTarget = base::Widen(target);
  const std::string utf16(reinterpret_cast<const char*>(wideTarget.data()), wideTarget.size() * sizeof(wchar_t));
  EXPECT_TRUE(link.find(target) != std::string::npos || link.find(utf16) != std::string::npos)
      << "the shortcut: " << Shortcut();
}

// The installed program starts and shows its main window.
bool ShowsMainWindow() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + (kInstalled / L"vintrel_turnways_front.exe").wstring() + L"\"";
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return false;
  const testing_support::KernelHandle process(info.hProcess), thread(info.hThread);
  bool shown = false;
  for (int i = 0; i < 600 && !shown; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
    const HWND window = FindWindowW(L"TFm_main", nullptr);
    DWORD owner = 0;
    shown = window && GetWindowThreadProcessId(window, &owner) && owner == info.dwProcessId;
  }
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 10000);
  return shown;
}

// Removes every product of either width's upgrade code, and the installed folder when something
// is left in it, saying what it found.
void RemoveEveryProduct() {
  const std::vector<std::wstring> products = Products();
  std::printf("clean-up: %zu product(s) of the two upgrade codes installed\n", products.size());
  for (const std::wstring& product : products) Msiexec("/x", product);
  std::error_code error;
  if (fs::exists(ProgramFilesFolder(), error)) {
    std::printf("clean-up: removing %s, left behind\n", ProgramFilesFolder().string().c_str());
    fs::remove_all(ProgramFilesFolder(), error);
  }
  ASSERT_EQ(Products(), std::vector<std::wstring>()) << "still installed after msiexec /x";
}

// Every case starts from nothing: what an earlier run left installed (one interrupted, on a PC
// or in a Sandbox used again) is removed first, and a case that failed half way is removed after.
class FromNothing : public ::testing::Test {
protected:
  void SetUp() override { RemoveEveryProduct(); }
  void TearDown() override {
    if (HasFailure()) RemoveEveryProduct();
  }
};
class InstallerRefusalTest : public FromNothing {};
class InstallerTest : public FromNothing {
protected:
  void SetUp() override {
    if (On64BitWindows() && !k64)
      GTEST_SKIP() << "the x86 package's life needs a 32-bit Windows: on 64-bit Windows the package is refused, "
                      "which OtherWidthIsRefusedWithItsMessage checks";
    FromNothing::SetUp();
  }
};

// A control's text in another process (WM_GETTEXT, given up after a second).
std::wstring TextOf(HWND control) {
  wchar_t text[1024] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &length))
    return {};
  return text;
}
bool OfMsiexec(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  const testing_support::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  wchar_t path[MAX_PATH];
  DWORD size = MAX_PATH;
  return process && QueryFullProcessImageNameW(process.get(), 0, path, &size) &&
         _wcsicmp(fs::path(path).filename().c_str(), L"msiexec.exe") == 0;
}
struct Box {
  std::wstring named, text;
  HWND window = nullptr;
};
BOOL CALLBACK FindText(HWND control, LPARAM found) {
  auto* box = reinterpret_cast<Box*>(found);
  std::wstring text = TextOf(control);
  if (text.find(box->named) == std::wstring::npos) return TRUE;
  box->text = std::move(text);
  box->window = GetAncestor(control, GA_ROOT);
  return FALSE;
}
// A visible window of msiexec with a control whose text names box->named.
BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && OfMsiexec(window)) EnumChildWindows(window, FindText, found);
  return reinterpret_cast<Box*>(found)->window == nullptr;
}

// msiexec /i PACKAGE /qb, while a reader closes with OK the box of msiexec's basic UI that names
// `named`, passing over every other window (the progress dialog among them): msiexec's exit code
// and that box's text, empty when none came. The reader stops when msiexec ends, and when it
// throws at its limit.
std::pair<DWORD, std::wstring> InstallClosingTheBox(const fs::path& package, const std::wstring& named,
                                                    std::chrono::milliseconds limit = std::chrono::minutes(5)) {
  Box box{named, {}};
  std::jthread reader([&box](std::stop_token stop) {
    for (int seen = 0; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
      box.window = nullptr;
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
      if (!box.window) continue;
      if (++seen < 30)
        PostMessageW(box.window, WM_COMMAND, IDOK, 0);
      else  // a box that OK does not close, after three seconds
        PostMessageW(box.window, WM_CLOSE, 0, 0);
    }
  });
  const DWORD code = Msiexec("/i", package, L"/qb", limit);
  reader.request_stop();
  reader.join();
  return {code, box.text};
}

TEST_F(InstallerRefusalTest, OtherWidthIsRefusedWithItsMessage) {
  if (!On64BitWindows()) {
    // Windows Installer refuses a package for another processor before its own conditions.
    EXPECT_EQ(Msiexec("/i", Package(kV0, false, "x64")), kOtherProcessor);
    return;
  }
  // The refusal shows its message in a box with a basic UI. Windows Installer logs error messages
  // too (/l*v holds "e"), but Wine's log has no word of it: the box is what both show.
  const std::wstring x64 = base::Widen("vintrel_turnways_front-" + kV0 + "-x64.msi");
  const auto [code, text] = InstallClosingTheBox(Package(kV0, false, "x86"), x64);
  EXPECT_EQ(code, kFailed);
  EXPECT_FALSE(text.empty()) << "no box of msiexec named " << base::Narrow(x64);
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(Products().empty());
}

// A box that never comes (the refusal's names another package than the one waited for): msiexec
// is ended at its limit and the case fails with that, the reader stopped and joined on the way.
TEST_F(InstallerRefusalTest, BoxThatNeverComesEndsAtTheLimit) {
  if (!On64BitWindows()) GTEST_SKIP() << "32-bit Windows refuses the x64 package without a box";
  EXPECT_THROW(InstallClosingTheBox(Package(kV0, false, "x86"), L"vintrel_turnways_front-0-x64.msi",
                                    std::chrono::seconds(15)),
               std::runtime_error);
}

// From 1.18 as people have it, registered by the program's commit: update, update, a downgrade
// refused, 削除 and OK then update, uninstall.
TEST_F(InstallerTest, LifeFrom118WithTheHandler) {
  if (!fs::exists(Package("1.18", true)))
    GTEST_SKIP() << "no 1.18 test package: the release was made without the history that holds 4e2ea8c";
  ASSERT_EQ(Install(Package("1.18", true)), 0u);
  ASSERT_EQ(RegisterHere(), 0u);
  const std::vector<std::string> registered = Registration();
  ASSERT_FALSE(registered.empty());

  for (const std::string& version : {kV0, kV1}) {
    SCOPED_TRACE("update to " + version);
    ASSERT_EQ(Install(Package(version, true)), 0u);
    EXPECT_EQ(Registration(), registered);
    EXPECT_EQ(ComCreatesTheHandler(), 0u);
    EXPECT_TRUE(Approved());
    EXPECT_EQ(Entries(), OneEntry(version));
    ExpectFiles(version, true);
  }
  EXPECT_TRUE(ShowsMainWindow());

  EXPECT_EQ(Install(Package(kV0, true)), kFailed) << "a downgrade";
  EXPECT_EQ(Entries(), OneEntry(kV1));

  ASSERT_EQ(RegisterHere(L"remove"), 0u);
  ASSERT_EQ(Install(Package(kV2, true)), 0u);
  EXPECT_TRUE(Registration().empty()) << "registered again by an update after 削除 and OK";
  EXPECT_TRUE(Approved());

  ASSERT_EQ(Msiexec("/x", Package(kV2, true)), 0u);
  EXPECT_FALSE(fs::exists(ProgramFilesFolder()));
  for (const KNOWNFOLDERID& folder : {FOLDERID_CommonPrograms, FOLDERID_Programs})
    EXPECT_EQ(Shortcut(folder), fs::path());
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(Registration().empty());
  EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, kApproved, kClsid));
}

// Without the handler: never registered, then registered, kept by updates; the options stay.
TEST_F(InstallerTest, LifeWithoutTheHandler) {
  ASSERT_EQ(Install(Package(kV0, false)), 0u);
  ASSERT_EQ(Install(Package(kV1, false)), 0u);
  EXPECT_TRUE(Registration().empty());
  EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, kApproved, kClsid));
  EXPECT_EQ(Entries(), OneEntry(kV1));
  ExpectFiles(kV1, false);

  ASSERT_EQ(RegisterHere(), 0u);
  const std::vector<std::string> registered = Registration();
  ASSERT_FALSE(registered.empty());
  ASSERT_EQ(Install(Package(kV2, false)), 0u);
  EXPECT_EQ(Registration(), registered);

  ASSERT_EQ(Msiexec("/x", Package(kV2, false)), 0u);
  EXPECT_TRUE(Registration().empty());
  EXPECT_TRUE(Entries().empty());
  HKEY options = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tallgrove\\vintrel_turnways", 0, KEY_READ, &options), 0)
      << "the options key went with the package";
  const testing_support::KeyHandle ownOptions(options);
}

// What a run left installed, here the highest version, which would refuse the next case's
// installs as downgrades, is removed before the next case.
TEST_F(InstallerTest, WhatARunLeftIsRemoved) {
  ASSERT_EQ(Install(Package(kV2, true)), 0u);
  RemoveEveryProduct();
  EXPECT_TRUE(Entries().empty());
  EXPECT_FALSE(fs::exists(ProgramFilesFolder()));
}

}  // namespace
