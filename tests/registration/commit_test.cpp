// The commit on every store: what registering writes and removing deletes, the JPEG-type
// cleanup, and keys that cannot be opened or created.
#include <gtest/gtest.h>

#include "registration/commit.h"
#include "tests/registration/commit_fixture.h"

namespace {

using namespace settings;
using namespace registration;
using registration_tests::CommitTest;
using testing_support::ExpectRegistryError;
using testing_support::KeyExists;

TEST_P(CommitTest, RegisterWritesTheHandlerKeysAndTheOptions) {
  Run(true);
  ExpectSz(kHandlerKey, "", kClsid);
  ExpectSz(kClassKey, "", "vintrel_turnways");
  ExpectSz(kServerKey, "", "C:\\Tools\\vintrel_turnways.dll");
  ExpectSz(kServerKey, "ThreadingModel", "Apartment");
  EXPECT_FALSE(testing_support::GetRaw(Store(), kClassesRoot, "*", "").exists) << "the default value of \"*\"";

  LoadedOptions loaded;
  testing_support::LoadOrRaise(Store(), loaded);
  EXPECT_TRUE(loaded.gRegistered);
  EXPECT_EQ(loaded.options, Chosen());
}

TEST_P(CommitTest, ServerPathIsSoughtInTheStoresCodePage) {
  // C:\ソフト表\表.exe: in code page 932 each 5C byte ends a character; in a single-byte code
  // page the one in the file name separates.
  const std::string folder = "C:\\\x83\x5C\x83\x74\x83\x67\x95\x5C\\";
  Commit(Store(), true, Options{}, folder + "\x95\x5C.exe");
  const bool doubleByte = Store().AnsiCodePage().Id() == 932;
  ExpectSz(kServerKey, "", folder + (doubleByte ? "" : "\x95\x5C") + kServerFileName);
}

TEST_P(CommitTest, RemoveDeletesTheHandlersKeysOnly) {
  MakeKey(kClassesRoot, "*\\shellex\\ContextMenuHandlers\\" + OtherHandler());
  Run(true);
  Run(false);
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerKey));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kClassKey));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, OptionsPath()));
  EXPECT_TRUE(KeyExists(Store(), kClassesRoot, "*\\shellex\\ContextMenuHandlers\\" + OtherHandler()));
  EXPECT_TRUE(KeyExists(Store(), kCurrentUser, "Software\\Tallgrove"));
}

TEST_P(CommitTest, RemoveWhenNothingWasRegisteredEndsNormally) {
  EXPECT_NO_THROW(Run(false));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerKey));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kClassKey));
  EXPECT_FALSE(KeyExists(Store(), kCurrentUser, OptionsPath()));
}

TEST_P(CommitTest, SecondCommitLeavesTheSameRegistry) {
  for (const bool registered : {true, false}) {
    SCOPED_TRACE(registered ? "register" : "remove");
    Run(registered);
    const auto once = Snapshot();
    Run(registered);
    EXPECT_EQ(Snapshot(), once);
  }
}

// What ".jpg" holds before the commit; the cleanup is the same in both branches.
enum class Jpg { Missing, NoDefault, EmptyDefault, NamesJpegfile };

TEST_P(CommitTest, JpegTypeCleanup) {
  const std::pair<Jpg, const char*> states[] = {{Jpg::Missing, "no .jpg key"},
                                                {Jpg::NoDefault, ".jpg without a default value"},
                                                {Jpg::EmptyDefault, ".jpg with an empty default value"},
                                                {Jpg::NamesJpegfile, ".jpg naming jpegfile"}};
  const std::string handler = std::string("\\") + kHandlerSubPath;
  const std::string other = "\\shellex\\ContextMenuHandlers\\" + OtherHandler();
  for (const auto& [state, what] : states) {
    for (const bool registered : {true, false}) {
      SCOPED_TRACE(std::string(what) + (registered ? ", register" : ", remove"));
      WipeTouchedKeys();
      MakeKey(kClassesRoot, "jpegfile" + handler);
      MakeKey(kClassesRoot, "jpegfile" + other);
      PutSz(kClassesRoot, "jpegfile\\shell\\open\\command", "", "viewer.exe");
      MakeKey(kClassesRoot, std::string(kHandlerName) + handler);
      if (state != Jpg::Missing) {
        MakeKey(kClassesRoot, ".jpg" + handler);
        MakeKey(kClassesRoot, ".jpg" + other);
      }
      if (state == Jpg::EmptyDefault) PutSz(kClassesRoot, ".jpg", "", "");
      if (state == Jpg::NamesJpegfile) PutSz(kClassesRoot, ".jpg", "", "jpegfile");

      Run(registered);

      EXPECT_TRUE(KeyExists(Store(), kClassesRoot, ".jpg"));
      EXPECT_FALSE(KeyExists(Store(), kClassesRoot, ".jpg" + handler));
      EXPECT_EQ(KeyExists(Store(), kClassesRoot, ".jpg" + other), state != Jpg::Missing);
      EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerName));
      EXPECT_EQ(KeyExists(Store(), kClassesRoot, "jpegfile" + handler), state != Jpg::NamesJpegfile);
      EXPECT_TRUE(KeyExists(Store(), kClassesRoot, "jpegfile" + other));
      ExpectSz("jpegfile\\shell\\open\\command", "", "viewer.exe");
      if (state == Jpg::NamesJpegfile) ExpectSz(".jpg", "", "jpegfile");
      if (state == Jpg::Missing || state == Jpg::NoDefault) {
        EXPECT_FALSE(testing_support::GetRaw(Store(), kClassesRoot, ".jpg", "").exists);
      }
    }
  }
}

TEST_P(CommitTest, JpgDefaultThatIsNoTextStopsTheCommit) {
  testing_support::PutRaw(Store(), kClassesRoot, ".jpg", "", kRegDword, {1, 0, 0, 0});
  ExpectRegistryError([&] { Run(true); }, "'' のデータ型が不正です");
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerKey));
}

// Registering when a key cannot be opened or created: the commit raises, keeps what it wrote
// before, and pressing OK again changes nothing.
TEST_P(CommitTest, RegisterWhenTheAllFilesKeyCannotBeOpened) {
  CheckBlocked({"*", kClassesRoot, "*", nullptr, "'*' の設定に失敗しました", 0});
}

TEST_P(CommitTest, RegisterWhenTheHandlerKeyCannotBeCreated) {
  CheckBlocked({"handler key", kClassesRoot, kHandlerKey, "*\\shellex",
                std::string("'") + kHandlerKey + "' の設定に失敗しました", 0});
}

TEST_P(CommitTest, RegisterWhenTheClassKeyCannotBeCreated) {
  CheckBlocked({"class key", kClassesRoot, kClassKey, nullptr, "'' の設定に失敗しました", 1});
}

TEST_P(CommitTest, RegisterWhenTheServerKeyCannotBeCreated) {
  CheckBlocked({"server key", kClassesRoot, kServerKey, kClassKey, "'' の設定に失敗しました", 2});
}

TEST_P(CommitTest, RegisterWhenTheOptionsKeyCannotBeCreated) {
  CheckBlocked({"options key", kCurrentUser, OptionsPath(), "Software\\Tallgrove",
                std::string("'") + kOptionsKey + "' の設定に失敗しました", 3});
}

STORE_SUITE(CommitTest);

}  // namespace
