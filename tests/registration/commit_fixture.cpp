#include "tests/registration/commit_fixture.h"

#include "tests/registration/snapshot.h"

namespace registration_tests {

using namespace settings;
using testing_support::ExpectRegistryError;
using testing_support::KeyExists;

namespace {

constexpr const char* kProgram = "C:\\Tools\\setup.exe";

const std::vector<std::pair<Key, std::string>>& TouchedKeys() {
  static const std::vector<std::pair<Key, std::string>> keys = {
      {kCurrentUser, std::string("Software\\Classes\\") + registration::kClassKey},  // first: it hides the other
      {kClassesRoot, ".jpg"},
      {kClassesRoot, "jpegfile"},
      {kClassesRoot, registration::kHandlerName},
      {kClassesRoot, registration::kHandlerKey},
      {kClassesRoot, std::string("*\\shellex\\ContextMenuHandlers\\") + "VintrelTests.OtherHandler"},
      {kClassesRoot, registration::kClassKey},
      {kCurrentUser, "Software\\Tallgrove"},
  };
  return keys;
}

}  // namespace

void CommitTest::SetUp() {
  StoreTest::SetUp();
  for (const auto& [root, path] : TouchedKeys()) AlsoWipe(root, path);
}

void CommitTest::TearDown() {
  for (const auto& restore : restore_) restore();
  StoreTest::TearDown();
}

Options CommitTest::Chosen() {
  return {.gSaveMethod = 3,
          .gAllowBreakDCF = true,
          .gKeepTimeStamp_Write = false,
          .gHotKey_90 = 'R',
          .gHotKey_270 = 0x4000 | 'L',
          .gAddMenu180 = true};
}

std::string CommitTest::OtherHandler() { return "VintrelTests.OtherHandler"; }

void CommitTest::Run(bool gRegistered, const Options& options) {
  registration::Commit(Store(), OptionsAt(), gRegistered, options, kProgram);
}

void CommitTest::MakeKey(Key root, const std::string& path) {
  Key key = 0;
  ASSERT_EQ(Store().CreateKey(root, path, kKeyAllAccess, key), kSuccess) << path;
  Store().CloseKey(key);
}

void CommitTest::PutSz(Key root, const std::string& path, const std::string& name, const std::string& text) {
  testing_support::PutRaw(Store(), root, path, name, kRegSz, std::vector<std::uint8_t>(text.begin(), text.end() + 1));
}

void CommitTest::ExpectSz(const std::string& path, const std::string& name, const std::string& text) {
  const auto value = testing_support::GetRaw(Store(), kClassesRoot, path, name);
  EXPECT_TRUE(value.exists) << path << " : " << name;
  EXPECT_EQ(value.type, kRegSz) << path << " : " << name;
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), text + '\0') << path << " : " << name;
}

void CommitTest::WipeTouchedKeys() {
  for (const auto& [root, path] : TouchedKeys()) testing_support::Wipe(Store(), root, path);
}

std::vector<std::string> CommitTest::Snapshot() {
  std::vector<std::pair<Key, std::string>> keys = TouchedKeys();
  keys.emplace_back(kClassesRoot, "*\\shellex");
  if (OptionsRoot() == kUsers) keys.emplace_back(kUsers, testing_support::kOtherUserSid);
  return registration_tests::Snapshot(Store(), keys);
}

void CommitTest::CheckBlocked(const BlockedCase& blocked) {
  if (auto* memory = Memory()) {
    memory->RefuseKey(blocked.root, blocked.refused);
  } else {
#ifdef _WIN32
    if (!blocked.volatileParent) GTEST_SKIP() << "Wine opens and creates " << blocked.what << " for every program";
    // The parent goes and comes back volatile; its keys are made again afterwards. One that
    // holds values could not be given back, and is left alone.
    const std::string parent = blocked.volatileParent;
    std::vector<std::string> keys;
    for (const std::string& line : registration_tests::Snapshot(Store(), {{blocked.root, parent}})) {
      if (line.find(" : ") != std::string::npos) GTEST_SKIP() << parent << " holds values";
      keys.push_back(line.substr(line.find('\\') + 1));
    }
    testing_support::Wipe(Store(), blocked.root, parent);
    restore_.push_back([this, root = blocked.root, parent, keys] {
      testing_support::Wipe(Store(), root, parent);
      for (const std::string& key : keys) MakeKey(root, key);
    });
    ASSERT_TRUE(CreateVolatileKey(blocked.root, parent));
    Key probe = 0;
    const long status = Store().CreateKey(blocked.root, blocked.refused, kKeyAllAccess, probe);
    if (status == kSuccess) Store().CloseKey(probe);
    ASSERT_NE(status, kSuccess) << blocked.refused << " can still be created";
#endif
  }

  ExpectRegistryError([&] { Run(true); }, blocked.message);
  EXPECT_EQ(KeyExists(Store(), kClassesRoot, registration::kHandlerKey), blocked.written >= 1);
  EXPECT_EQ(KeyExists(Store(), kClassesRoot, registration::kClassKey), blocked.written >= 2);
  EXPECT_EQ(KeyExists(Store(), kClassesRoot, registration::kServerKey), blocked.written >= 3);
  if (blocked.written >= 1) ExpectSz(registration::kHandlerKey, "", registration::kClsid);
  if (blocked.written >= 2) ExpectSz(registration::kClassKey, "", registration::kHandlerName);
  if (blocked.written >= 3) ExpectSz(registration::kServerKey, "ThreadingModel", "Apartment");
  EXPECT_FALSE(KeyExists(Store(), OptionsRoot(), OptionsPath()));

  const auto before = Snapshot();
  ExpectRegistryError([&] { Run(true); }, blocked.message);
  EXPECT_EQ(Snapshot(), before) << "pressing OK again";
}

}  // namespace registration_tests
