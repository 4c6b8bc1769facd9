// The key cursor's state, path resolution, opening and deletion, on every store.
#include <gtest/gtest.h>

#include "settings/registry.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::ExpectRegistryError;
using testing_support::GetRaw;
using testing_support::KeyExists;
using testing_support::PutRaw;

class Cursor : public testing_support::StoreTest {
protected:
  std::string User(const std::string& below = "") const {
    return below.empty() ? UserScratch() : UserScratch() + "\\" + below;
  }
};

TEST_P(Cursor, NewCursorHasNoKeyOpen) {
  TRegistry reg(Store());
  EXPECT_EQ(reg.Root(), kCurrentUser);
  EXPECT_EQ(reg.AccessMask(), kKeyAllAccess);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_TRUE(reg.LazyWrite());
  EXPECT_FALSE(reg.HasValue("x"));
  EXPECT_EQ(reg.GetString("x"), "");
  ExpectRegistryError([&] { reg.GetInteger("x"); }, "'x' の取得に失敗しました");
  ExpectRegistryError([&] { reg.PutString("x", "y"); }, "'x' の設定に失敗しました");
}

TEST_P(Cursor, OpenCreatesEveryMissingLevel) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath("\\" + User("a\\b\\c"), true));
  EXPECT_EQ(reg.CurrentPath(), User("a\\b\\c"));
  EXPECT_NE(reg.CurrentKey(), 0u);
  reg.ClosePath();
  EXPECT_TRUE(KeyExists(Store(), kCurrentUser, User("a\\b\\c")));
}

TEST_P(Cursor, FailedOpenLeavesTheOpenKey) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath(User("kept"), true));
  const Key kept = reg.CurrentKey();
  EXPECT_FALSE(reg.OpenPath("\\" + User("missing"), false));
  EXPECT_FALSE(reg.OpenPath("missing", false));
  EXPECT_EQ(reg.CurrentKey(), kept);
  EXPECT_EQ(reg.CurrentPath(), User("kept"));
  reg.PutInteger("still", 1);  // still usable
}

TEST_P(Cursor, RelativePathReachesBelowTheOpenKey) {
  TRegistry reg(Store());
  reg.Root(kClassesRoot);
  ASSERT_TRUE(reg.OpenPath(ClassesScratch(), true));
  ASSERT_TRUE(reg.OpenPath("shellex\\ContextMenuHandlers\\vintrel_turnways", true));
  EXPECT_EQ(reg.CurrentPath(), ClassesScratch() + "\\shellex\\ContextMenuHandlers\\vintrel_turnways");
  reg.PutString("", "{x}");
  reg.ClosePath();
  EXPECT_EQ(GetRaw(Store(), kClassesRoot, ClassesScratch() + "\\shellex\\ContextMenuHandlers\\vintrel_turnways", "")
                .data.size(),
            4u);
  if (Memory()) {
    EXPECT_EQ(Memory()->OpenHandles(), 0u) << "the handle on the first key was released";
  }
}

TEST_P(Cursor, AbsolutePathsResolveFromTheRoot) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath(User(), true));
  ASSERT_TRUE(reg.OpenPath("\\" + User("abs"), true));  // not below the open key
  EXPECT_EQ(reg.CurrentPath(), User("abs"));
  reg.ClosePath();
  EXPECT_TRUE(KeyExists(Store(), kCurrentUser, User("abs")));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, User(User("abs"))));
  ASSERT_TRUE(reg.OpenPath(User("rel"), true));  // no key open: from the root as well
  EXPECT_EQ(reg.CurrentPath(), User("rel"));
}

TEST_P(Cursor, EmptyPathAndLoneBackslashOpenTheRootAndNeverCreate) {
  TRegistry reg(Store());
  for (const char* path : {"", "\\"}) {
    ASSERT_TRUE(reg.OpenPath(path, true)) << '"' << path << '"';
    EXPECT_NE(reg.CurrentKey(), 0u);
    EXPECT_EQ(reg.CurrentPath(), "");
    reg.ClosePath();
  }
  EXPECT_FALSE(reg.DeletePath("\\"));  // the root is never deleted
  EXPECT_FALSE(reg.DeletePath(""));
}

TEST_P(Cursor, SettingRootClosesOnlyOnChange) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath(User(), true));
  reg.Root(kCurrentUser);
  EXPECT_NE(reg.CurrentKey(), 0u);
  reg.Root(kClassesRoot);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), "");
}

TEST_P(Cursor, HandlesAreReleasedExactlyOnce) {
  auto* memory = Memory();
  if (!memory) GTEST_SKIP() << "handle accounting is the in-memory store's";
  {
    TRegistry reg(Store());
    ASSERT_TRUE(reg.OpenPath(User("a"), true));
    ASSERT_TRUE(reg.OpenPath("b", true));
    EXPECT_EQ(memory->OpenHandles(), 1u);
    reg.ClosePath();
    const unsigned calls = memory->Calls();
    reg.ClosePath();
    EXPECT_EQ(memory->Calls(), calls) << "a second ClosePath asks nothing of the store";
    ASSERT_TRUE(reg.OpenPath(User("a"), false));
  }
  EXPECT_EQ(memory->OpenHandles(), 0u);
}

TEST_P(Cursor, ReadOnlyMaskRefusesWrites) {
  PutRaw(Store(), kCurrentUser, User(), "v", kRegDword, {1, 0, 0, 0});
  TRegistry reg(Store());
  reg.AccessMask(kKeyRead);
  ASSERT_TRUE(reg.OpenPath(User(), false));
  EXPECT_EQ(reg.GetInteger("v"), 1);
  ExpectRegistryError([&] { reg.PutInteger("v", 2); }, "'v' の設定に失敗しました");
  EXPECT_EQ(reg.CurrentPath(), User()) << "a failed write leaves the cursor as it was";
}

TEST_P(Cursor, DeleteOfAMissingKeyAnswersFalse) {
  TRegistry reg(Store());
  EXPECT_FALSE(reg.DeletePath("\\" + User("missing")));
  EXPECT_FALSE(reg.DeletePath(User("missing\\deeper")));
}

TEST_P(Cursor, DeleteRemovesAWholeSubtree) {
  for (const char* key : {"t\\a\\x", "t\\a\\y", "t\\b", "t"})
    PutRaw(Store(), kCurrentUser, User(key), "v", kRegSz, {'s', 0});
  TRegistry reg(Store());
  EXPECT_TRUE(reg.DeletePath("\\" + User("t")));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, User("t")));
  EXPECT_TRUE(KeyExists(Store(), kCurrentUser, User()));
}

TEST_P(Cursor, RelativeDeleteKeepsTheOpenKey) {
  PutRaw(Store(), kCurrentUser, User("sub\\deep"), "v", kRegDword, {1, 0, 0, 0});
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath(User(), false));
  const Key open = reg.CurrentKey();
  EXPECT_TRUE(reg.DeletePath("sub"));
  EXPECT_FALSE(reg.DeletePath("sub"));
  EXPECT_EQ(reg.CurrentKey(), open);
  EXPECT_EQ(reg.CurrentPath(), User());
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, User("sub")));
}

TEST_P(Cursor, LetterCaseDoesNotMatter) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenPath(User("MixedCase"), true));
  reg.PutInteger("ValueName", 7);
  reg.ClosePath();
  ASSERT_TRUE(reg.OpenPath(User("MIXEDCASE"), false));
  EXPECT_TRUE(reg.HasValue("VALUENAME"));
  EXPECT_EQ(reg.GetInteger("valuename"), 7);
  reg.ClosePath();
  EXPECT_TRUE(reg.DeletePath(User("mixedcase")));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, User("MixedCase")));
}

// A sub-key name of many multibyte characters takes more bytes than the UTF-16 length the
// store reports; the deletion must still fetch it.
TEST_P(Cursor, DeleteFetchesMultibyteNames) {
  const base::CodePage codePage = Store().AnsiCodePage();
  std::string wide;
  if (codePage.Id() == 932) {
    for (int i = 0; i < 20; ++i) wide += "\x83\x5C\x95\x5C";  // ソ表: trail bytes equal to "\"
  } else if (codePage.Id() == 65001) {
    for (int i = 0; i < 20; ++i) wide += "\xE3\x82\xBD\xE8\xA1\xA8";
  } else {
    GTEST_SKIP() << "code page " << codePage.Id() << " has no multibyte characters";
  }
  PutRaw(Store(), kCurrentUser, User("t\\" + wide + "\\" + wide), "v", kRegDword, {1, 0, 0, 0});
  PutRaw(Store(), kCurrentUser, User("t\\short"), "v", kRegDword, {1, 0, 0, 0});
  ASSERT_TRUE(KeyExists(Store(), kCurrentUser, User("t\\" + wide)));
  TRegistry reg(Store());
  EXPECT_TRUE(reg.DeletePath("\\" + User("t")));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, User("t")));
}

STORE_SUITE(Cursor);

}  // namespace
