// The registry's two views on 64-bit Windows (here: Wine's classic WoW64), proven with programs
// of both widths: where each width's commit lands, read with Wine's own reg.exe, and which COM
// clients then find the handler. Runs from the x86_64 build only: its reg.exe, a 64-bit program,
// names both views by their own paths, which a 32-bit reg.exe would see redirected. The i686
// programs come from the i686 build's test folder, or from a test bundle's x86 folder.
#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "registration/commit.h"
#include "settings/win_registry_store.h"
#include "tests/support/reg_exe.h"
#include "tests/support/stores.h"
#include "tests/support/test_files.h"

namespace {

using testing_support::Finished;
using testing_support::RegExeQuery;
using testing_support::RunProgram;

// REGDB_E_CLASSNOTREG, as com_client reports it.
constexpr DWORD kClientNotRegistered = 1;

std::string I686Folder() { return testing_support::TestFile("x86", VT_I686_REGISTRATION_DIR).string(); }

// HKEY_CLASSES_ROOT's keys as the 64-bit side names them: those of its own view, and those
// that 32-bit programs see under their names when their view is redirected.
constexpr const char* kView64 = "HKLM\\Software\\Classes\\";
constexpr const char* kView32 = "HKLM\\Software\\Classes\\Wow6432Node\\";

struct Width {
  const char* name;
  std::string folder;  // its register_here.exe, com_client.exe and stand-in vintrel_turnways.dll
  const char* view;    // where its class keys are
};

const Width& X8664() {
  static const Width width{"x86_64", testing_support::OwnProgramFolder().string(), kView64};
  return width;
}
const Width& I686() {
  static const Width width{"i686", I686Folder(), kView32};
  return width;
}

Finished Start(const Width& width, const std::string& program, const std::string& argument = "") {
  const std::string line = "\"" + width.folder + "\\" + program + "\"" + (argument.empty() ? "" : " " + argument);
  return RunProgram(std::wstring(line.begin(), line.end()));
}

bool Present(const std::string& key) { return RegExeQuery(key).has_value(); }

// The parameter: whether the i686 program commits (else the x86_64 one).
class ViewTest : public ::testing::TestWithParam<bool> {
protected:
  const Width& Committer() const { return GetParam() ? I686() : X8664(); }
  const Width& Other() const { return GetParam() ? X8664() : I686(); }

  void SetUp() override {
    // Set by the test command on a machine that cannot run 32-bit programs, with the reason.
    char reason[200];
    const DWORD length = GetEnvironmentVariableA("VT_I686_NOT_RUN", reason, sizeof reason);
    if (length > 0 && length < sizeof reason) GTEST_SKIP() << "i686 not run: " << reason;
    ASSERT_NE(GetFileAttributesA((I686().folder + "\\register_here.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the i686 build's test programs are missing in " << I686().folder << ": build the mingw32 preset";
    ASSERT_EQ(Start(I686(), "register_here.exe", "remove").exitCode, 0u);
    ASSERT_EQ(Start(X8664(), "register_here.exe", "remove").exitCode, 0u);
    // A handler entry below the JPEG type, which either width's commit removes.
    testing_support::PutRaw(store_, settings::kClassesRoot, kJpegEntry, "", settings::kRegSz, {0});
  }
  void TearDown() override {
    if (IsSkipped()) return;
    Start(Committer(), "register_here.exe", "remove");
    testing_support::Wipe(store_, settings::kClassesRoot, kJpegEntry);
  }

  static constexpr const char* kJpegEntry = ".jpg\\shellex\\ContextMenuHandlers\\vintrel_turnways";
  settings::WinRegistryStore store_;
};

TEST_P(ViewTest, ClassKeysLandInTheCommittersViewAndEverythingElseWhereBothLook) {
  const Finished commit = Start(Committer(), "register_here.exe");
  ASSERT_EQ(commit.exitCode, 0u) << commit.output;

  const auto server = RegExeQuery(Committer().view + std::string(registration::kServerKey));
  ASSERT_TRUE(server.has_value()) << "no class key in the " << Committer().name << " view";
  const testing_support::RegValue path{"", "REG_SZ", Committer().folder + "\\vintrel_turnways.dll"};
  EXPECT_NE(std::find(server->front().values.begin(), server->front().values.end(), path),
            server->front().values.end());
  EXPECT_FALSE(Present(Other().view + std::string(registration::kClassKey)))
      << "a class key in the " << Other().name << " view";

  // "*" and ".jpg" are shared by both views: there is no copy of them in the 32-bit one.
  EXPECT_TRUE(Present(kView64 + std::string(registration::kHandlerKey)));
  EXPECT_FALSE(Present(kView32 + std::string(registration::kHandlerKey)));
  EXPECT_FALSE(Present(kView64 + std::string(kJpegEntry))) << "the JPEG type's handler entry was not removed";
  EXPECT_FALSE(Present(kView32 + std::string(".jpg")));
  const auto options = RegExeQuery(std::string("HKCU") + settings::kOptionsKey);
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->front().values.size(), 10u);
}

TEST_P(ViewTest, OnlyClientsOfTheCommittersWidthCreateTheHandler) {
  EXPECT_EQ(Start(Committer(), "com_client.exe").exitCode, kClientNotRegistered) << "registered before the commit";
  ASSERT_EQ(Start(Committer(), "register_here.exe").exitCode, 0u);

  const Finished own = Start(Committer(), "com_client.exe");
  EXPECT_EQ(own.exitCode, 0u) << Committer().name << " client: " << own.output;
  const Finished other = Start(Other(), "com_client.exe");
  EXPECT_EQ(other.exitCode, kClientNotRegistered) << Other().name << " client: " << other.output;
}

INSTANTIATE_TEST_SUITE_P(Committers, ViewTest, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& param) {
  return std::string(param.param ? "i686" : "x86_64");
});

}  // namespace
