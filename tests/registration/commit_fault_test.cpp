// Every store call of a commit made to fail in turn, in both branches: the commit completes or
// raises one of its messages, releases every handle, and a second commit without the fault
// leaves exactly the registry of a commit that never failed.
#include <set>

#include <gtest/gtest.h>

#include "registration/commit.h"
#include "tests/support/fault_sweep.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::FaultRun;
using testing_support::MemoryRegistryStore;
using testing_support::PutRaw;
using testing_support::SweepFaults;

constexpr const char* kProgram = "C:\\Tools\\setup.exe";

std::vector<std::uint8_t> Sz(const std::string& text) { return {text.begin(), text.end() + 1}; }

Options Chosen() { return {.gSaveMethod = 4, .gNotShowWarning = true, .gHotKey_180 = '5'}; }

// An earlier registration from another folder with other options, and what older versions
// left under the JPEG type, next to another handler that must stay.
void Prepare(MemoryRegistryStore& store) {
  Options old;
  old.gHotKey_90 = 'X';
  registration::Commit(store, {}, true, old, "D:\\Old\\setup.exe");
  const std::string handler = std::string("\\") + registration::kHandlerSubPath;
  PutRaw(store, kClassesRoot, ".jpg", "", kRegSz, Sz("jpegfile"));
  PutRaw(store, kClassesRoot, "jpegfile" + handler, "", kRegSz, Sz(registration::kClsid));
  PutRaw(store, kClassesRoot, "jpegfile\\shellex\\ContextMenuHandlers\\Other", "", kRegSz, Sz("{0}"));
  PutRaw(store, kClassesRoot, ".jpg" + handler, "", kRegSz, Sz(registration::kClsid));
  PutRaw(store, kClassesRoot, std::string(registration::kHandlerName) + handler, "", kRegSz, Sz(""));
}

std::set<std::string> Messages(bool gRegistered) {
  std::set<std::string> messages = {ReadFailedMessage("")};  // the default value of ".jpg"
  if (!gRegistered) return messages;
  for (const std::string name :
       {"", "ThreadingModel", "gSaveMethod", "gAllowBreakDCF", "gKeepTimeStamp_Create", "gKeepTimeStamp_Write",
        "gAllowAdjustMCU", "gNotShowWarning", "gHotKey_90", "gHotKey_180", "gHotKey_270", "gAddMenu180", "*",
        registration::kHandlerKey, kOptionsKey})
    messages.insert(WriteFailedMessage(name));
  return messages;
}

class CommitFaults : public ::testing::TestWithParam<bool> {};

TEST_P(CommitFaults, EveryFailureEndsCleanlyAndASecondCommitFinishes) {
  const bool registered = GetParam();
  auto commit = [&](MemoryRegistryStore& store) { registration::Commit(store, {}, registered, Chosen(), kProgram); };

  MemoryRegistryStore clean;
  Prepare(clean);
  commit(clean);
  const auto classes = clean.Dump(kClassesRoot);
  const auto user = clean.Dump(kCurrentUser);

  const std::set<std::string> messages = Messages(registered);
  unsigned raised = 0;
  SweepFaults(Prepare, commit, [&](const FaultRun& run) {
    if (run.error) {
      ++raised;
      EXPECT_TRUE(messages.count(*run.error)) << *run.error;
    }
    commit(run.store);
    EXPECT_EQ(run.store.OpenHandles(), 0u);
    EXPECT_EQ(run.store.Dump(kClassesRoot), classes);
    EXPECT_EQ(run.store.Dump(kCurrentUser), user);
  });
  EXPECT_GT(raised, 0u);
}

INSTANTIATE_TEST_SUITE_P(Branches, CommitFaults, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& branch) {
  return branch.param ? "Register" : "Remove";
});

}  // namespace
