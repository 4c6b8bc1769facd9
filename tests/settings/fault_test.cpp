// Every store call of loading, saving, deleting and a subtree deletion made to fail in turn.
#include <gtest/gtest.h>

#include "settings/options.h"
#include "tests/support/fault_sweep.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::FaultRun;
using testing_support::KeyExists;
using testing_support::MemoryRegistryStore;
using testing_support::PutRaw;
using testing_support::SweepFaults;

const std::string kKey = std::string(kOptionsKey).substr(1);
const OptionsLocation kToday;  // the options key under HKEY_CURRENT_USER

Options Stored() {
  return {.gSaveMethod = 3,
          .gAllowBreakDCF = true,
          .gKeepTimeStamp_Create = false,
          .gHotKey_90 = 'R',
          .gHotKey_270 = '9',
          .gAddMenu180 = true};
}

void PrepareOptions(MemoryRegistryStore& store) {
  TRegistry reg(store);
  ASSERT_TRUE(SaveOptions(reg, kToday, Stored()));
}

TEST(Faults, Load) {
  LoadedOptions loaded;
  SweepFaults(
      PrepareOptions, [&](MemoryRegistryStore& store) { testing_support::LoadOrRaise(store, kToday, loaded); },
      [&](const FaultRun& run) {
        if (!loaded.gRegistered) {  // the key did not open: nothing read, nothing raised
          EXPECT_FALSE(run.error);
          EXPECT_EQ(loaded.options, Options{});
          return;
        }
        // Each value is either read or, when its read failed, left at its default.
        const Options stored = Stored();
        const Options defaults;
        int differing = 0;
        auto same = [&](auto member) {
          if (loaded.options.*member == stored.*member) return;
          EXPECT_EQ(loaded.options.*member, defaults.*member);
          ++differing;
        };
        same(&Options::gSaveMethod), same(&Options::gAllowBreakDCF), same(&Options::gKeepTimeStamp_Create);
        same(&Options::gKeepTimeStamp_Write), same(&Options::gAllowAdjustMCU), same(&Options::gNotShowWarning);
        same(&Options::gHotKey_90), same(&Options::gHotKey_180), same(&Options::gHotKey_270);
        same(&Options::gAddMenu180);
        EXPECT_LE(differing, 1);
        if (run.error) {
          EXPECT_NE(run.error->find("' の取得に失敗しました"), std::string::npos) << *run.error;
        }
      });
}

TEST(Faults, Save) {
  SweepFaults([](MemoryRegistryStore&) {},
              [](MemoryRegistryStore& store) {
                TRegistry reg(store);
                if (!SaveOptions(reg, kToday, Stored())) throw ERegistryException("not opened");
              },
              [](const FaultRun& run) {
                if (run.error) {
                  EXPECT_TRUE(*run.error == "not opened" ||
                              run.error->find("' の設定に失敗しました") != std::string::npos)
                      << *run.error;
                }
                // Saving again without the fault gives the full set.
                TRegistry reg(run.store);
                ASSERT_TRUE(SaveOptions(reg, kToday, Stored()));
                reg.ClosePath();
                LoadedOptions loaded;
                testing_support::LoadOrRaise(run.store, kToday, loaded);
                EXPECT_EQ(loaded.options, Stored());
              });
}

// Deleting the options key, and a deeper subtree, never raises; a second attempt finishes.
TEST(Faults, DeleteAndSubtree) {
  auto prepare = [](MemoryRegistryStore& store) {
    PrepareOptions(store);
    for (const char* below : {"\\a\\x", "\\a\\y\\z", "\\b"})
      PutRaw(store, kCurrentUser, kKey + below, "v", kRegDword, {1, 0, 0, 0});
  };
  const std::function<void(TRegistry&)> deletions[] = {
      [](TRegistry& reg) { DeleteOptions(reg, kToday); },
      [](TRegistry& reg) {
        if (!reg.OpenPath("\\Software\\Tallgrove", false)) return;  // the failed call may be this one
        reg.DeletePath("vintrel_turnways");                         // relative, below the open key
        EXPECT_EQ(reg.CurrentPath(), "Software\\Tallgrove");
      },
  };
  for (const auto& deletion : deletions) {
    SweepFaults(
        prepare,
        [&](MemoryRegistryStore& store) {
          TRegistry reg(store);
          deletion(reg);
        },
        [&](const FaultRun& run) {
          EXPECT_FALSE(run.error);
          TRegistry reg(run.store);
          DeleteOptions(reg, kToday);
          EXPECT_FALSE(KeyExists(run.store, kCurrentUser, kKey));
          EXPECT_TRUE(KeyExists(run.store, kCurrentUser, "Software\\Tallgrove"));
        });
  }
}

}  // namespace
