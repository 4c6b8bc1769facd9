// The commit on every store: what registering writes and removing deletes, the JPEG-type
// cleanup, and keys that cannot be opened or created.
#include <gtest/gtest.h>

#include "registration/commit.h"
#include "tests/registration/commit_fixture.h"

#ifdef _WIN32
#include "tests/support/wine.h"
#endif

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
  testing_support::LoadOrRaise(Store(), OptionsAt(), loaded);
  EXPECT_TRUE(loaded.gRegistered);
  EXPECT_EQ(loaded.options, Chosen());
  if (OptionsRoot() == kUsers) {
    EXPECT_FALSE(KeyExists(Store(), kCurrentUser, "Software\\Tallgrove")) << "the program user's options";
  }
}

TEST_P(CommitTest, ServerPathIsSoughtInTheStoresCodePage) {
  // C:\ソフト表\表.exe: in code page 932 each 5C byte ends a character; in a single-byte code
  // page the one in the file name separates.
  const std::string folder = "C:\\\x83\x5C\x83\x74\x83\x67\x95\x5C\\";
  Commit(Store(), OptionsAt(), true, Options{}, folder + "\x95\x5C.exe");
  const bool doubleByte = Store().AnsiCodePage().Id() == 932;
  ExpectSz(kServerKey, "", folder + (doubleByte ? "" : "\x95\x5C") + kServerFileName);
}

TEST_P(CommitTest, RemoveDeletesTheHandlersKeysOnly) {
  MakeKey(kClassesRoot, "*\\shellex\\ContextMenuHandlers\\" + OtherHandler());
  Run(true);
  Run(false);
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerKey));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kClassKey));
  EXPECT_FALSE(KeyExists(Store(), OptionsRoot(), OptionsPath()));
  EXPECT_TRUE(KeyExists(Store(), kClassesRoot, "*\\shellex\\ContextMenuHandlers\\" + OtherHandler()));
  EXPECT_TRUE(KeyExists(Store(), OptionsRoot(), OptionsParent()));
}

TEST_P(CommitTest, RemoveWhenNothingWasRegisteredEndsNormally) {
  EXPECT_NO_THROW(Run(false));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kHandlerKey));
  EXPECT_FALSE(KeyExists(Store(), kClassesRoot, kClassKey));
  EXPECT_FALSE(KeyExists(Store(), OptionsRoot(), OptionsPath()));
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
  const std::string parent = OptionsParent();
  CheckBlocked({"options key", OptionsRoot(), OptionsPath(), parent.c_str(),
                "'" + OptionsAt().path + "' の設定に失敗しました", 3});
}

// A registry link where the commit must not follow it, to a canary that both branches leave
// as it was. The links inside a key are planted after a registration.
TEST_P(CommitTest, RegistryLinksAreNotFollowed) {
  const std::string canary = UserScratch() + "\\canary";
  const struct {
    const char* what;
    Key root;
    std::string path;
    bool inside;
  } links[] = {{"the options key", OptionsRoot(), OptionsPath(), false},
               {"Tallgrove", OptionsRoot(), OptionsParent(), false},
               {"inside the options key", OptionsRoot(), OptionsPath() + "\\in", true},
               {"inside the server key", kLocalMachine, std::string("Software\\Classes\\") + kServerKey + "\\in",
                true}};
  for (const auto& link : links) {
    for (const bool registered : {true, false}) {
      SCOPED_TRACE(std::string(link.what) + (registered ? ", register" : ", remove"));
      WipeTouchedKeys();
      testing_support::Wipe(Store(), OptionsRoot(), OptionsParent());
      testing_support::PutCanary(Store(), kCurrentUser, canary);
      if (link.inside) Run(true);
      testing_support::MakeLink(Store(), link.root, link.path, kCurrentUser, canary);
      EXPECT_EQ(LoadOptions(Store(), OptionsAt()).gRegistered, link.inside) << "a link counts as missing";

      if (registered && link.path == OptionsParent()) {
        ExpectRegistryError([&] { Run(true); }, "'" + OptionsAt().path + "' の設定に失敗しました");
      } else {
        Run(registered);
      }
      testing_support::ExpectCanary(Store(), kCurrentUser, canary);
      EXPECT_EQ(KeyExists(Store(), kClassesRoot, kClassKey), registered);
      if (link.path != OptionsParent()) {
        EXPECT_EQ(LoadOptions(Store(), OptionsAt()).options, registered ? Chosen() : Options{});
      }
    }
  }
}

// A class key of the account's own under HKEY_CURRENT_USER\Software\Classes hides the
// machine's in HKEY_CLASSES_ROOT; the commit writes and deletes the machine's and leaves it.
TEST_P(CommitTest, PerUserClassKeyIsLeftAlone) {
#ifdef _WIN32
  if (IsWindows() && testing_support::RunningUnderWine())
    GTEST_SKIP() << "Wine does not merge HKEY_CURRENT_USER\\Software\\Classes into HKEY_CLASSES_ROOT";
#endif
  const std::string perUser = std::string("Software\\Classes\\") + kClassKey;
  for (const bool registered : {true, false}) {
    SCOPED_TRACE(registered ? "register" : "remove");
    WipeTouchedKeys();
    if (!registered) Run(true);
    PutSz(kCurrentUser, perUser, "", "per-user");
    Run(registered);
    EXPECT_EQ(KeyExists(Store(), kLocalMachine, "Software\\Classes\\" + std::string(kServerKey)), registered);
    EXPECT_EQ(testing_support::GetRaw(Store(), kCurrentUser, perUser, "").data.size(), 9u) << "per-user";
    EXPECT_FALSE(KeyExists(Store(), kCurrentUser, perUser + "\\InProcServer32"));
  }
}

OPTIONS_STORE_SUITE(CommitTest);

}  // namespace
