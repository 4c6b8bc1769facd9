// Whose options key the program edits: the choice from the two users' SIDs, and the question
// the choice asks of the store.
#include <gtest/gtest.h>

#include "settings/options_location.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::kOtherUserSid;
using testing_support::kProgramUserSid;
using testing_support::MemoryRegistryStore;

const OptionsLocation kToday;  // under HKEY_CURRENT_USER
const OptionsLocation kOtherUsers{kUsers,
                                  std::string("\\") + kOtherUserSid + "\\Software\\Tallgrove\\vintrel_turnways"};

TEST(OptionsLocation, Choice) {
  using User = std::optional<std::string>;
  const struct {
    const char* what;
    User program, desktop;
    bool hiveOpens;
    const OptionsLocation& expected;
  } cases[] = {
      {"same user", kProgramUserSid, kProgramUserSid, true, kToday},
      {"another desktop user", kProgramUserSid, kOtherUserSid, true, kOtherUsers},
      {"desktop user unknown", kProgramUserSid, std::nullopt, true, kToday},
      {"program user unknown", std::nullopt, kOtherUserSid, true, kToday},
      {"hive not openable", kProgramUserSid, kOtherUserSid, false, kToday},
      {"empty SID", kProgramUserSid, "", true, kToday},
      {"SID with a path in it", kProgramUserSid, "S-1-5-21\\..\\S-1-5-18", true, kToday},
      {"not a SID", kProgramUserSid, ".Default", true, kToday},
  };
  for (const auto& c : cases) {
    const OptionsLocation chosen = ChooseOptionsLocation(c.program, c.desktop, c.hiveOpens);
    EXPECT_EQ(chosen.root, c.expected.root) << c.what;
    EXPECT_EQ(chosen.path, c.expected.path) << c.what;
  }
  EXPECT_EQ(kToday.root, kCurrentUser);
  EXPECT_EQ(kToday.path, kOptionsKey);
}

// The hive is asked about only for another user, read-only, and left closed.
TEST(OptionsLocation, FindAsksTheStoreWhetherTheHiveOpens) {
  MemoryRegistryStore store;
  EXPECT_EQ(FindOptionsLocation(store, kProgramUserSid, kOtherUserSid), kToday) << "no such hive";
  testing_support::PutRaw(store, kUsers, kOtherUserSid, "v", kRegDword, {1, 0, 0, 0});
  EXPECT_EQ(FindOptionsLocation(store, kProgramUserSid, kOtherUserSid), kOtherUsers);
  store.RefuseKey(kUsers, kOtherUserSid);
  EXPECT_EQ(FindOptionsLocation(store, kProgramUserSid, kOtherUserSid), kToday) << "hive refused";
  const unsigned calls = store.Calls();
  EXPECT_EQ(FindOptionsLocation(store, kProgramUserSid, kProgramUserSid), kToday);
  EXPECT_EQ(FindOptionsLocation(store, kProgramUserSid, std::nullopt), kToday);
  EXPECT_EQ(store.Calls(), calls) << "the registry is not asked for the same user";
  EXPECT_EQ(store.OpenHandles(), 0u);
}

}  // namespace
