// What the cursor relies on from a store, checked on every store: the in-memory model must
// answer as Windows' registry (here Wine's) does.
#include <gtest/gtest.h>

#include "tests/support/stores.h"

namespace {

using namespace settings;

class StoreModel : public testing_support::StoreTest {
protected:
  Key Create(Key base, const std::string& path, std::uint32_t access = kKeyAllAccess) {
    Key key = 0;
    EXPECT_EQ(Store().CreateKey(base, path, access, key), kSuccess) << path;
    return key;
  }
  Key Open(Key base, const std::string& path, std::uint32_t access = kKeyAllAccess) {
    Key key = 0;
    EXPECT_EQ(Store().OpenKey(base, path, access, key), kSuccess) << path;
    return key;
  }
};

TEST_P(StoreModel, AKeyWithSubKeysIsNotDeleted) {
  Store().CloseKey(Create(kCurrentUser, UserScratch() + "\\parent\\child"));
  EXPECT_EQ(Store().DeleteKey(kCurrentUser, UserScratch() + "\\parent"), kAccessDenied);
  EXPECT_EQ(Store().DeleteKey(kCurrentUser, UserScratch() + "\\PARENT\\Child"), kSuccess);
  EXPECT_EQ(Store().DeleteKey(kCurrentUser, UserScratch() + "\\parent"), kSuccess);
  EXPECT_EQ(Store().DeleteKey(kCurrentUser, UserScratch() + "\\parent"), kFileNotFound);
}

TEST_P(StoreModel, AHandleOutlivesTheOneItWasOpenedFrom) {
  const Key parent = Create(kCurrentUser, UserScratch());
  const Key child = Create(parent, "child");
  EXPECT_EQ(Store().CloseKey(parent), kSuccess);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(Store().SetValue(child, "v", kRegDword, one, 4), kSuccess);
  EXPECT_EQ(Store().CloseKey(child), kSuccess);
}

TEST_P(StoreModel, TheAccessMaskIsEnforced) {
  Store().CloseKey(Create(kCurrentUser, UserScratch()));
  const Key readOnly = Open(kCurrentUser, UserScratch(), kKeyRead);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(Store().SetValue(readOnly, "v", kRegDword, one, 4), kAccessDenied);
  // Windows documents that creating a key needs KEY_CREATE_SUB_KEY on the handle given; Wine
  // 8 does not check it. The model follows Windows.
  Key created = 0;
  const long create = Store().CreateKey(readOnly, "new", kKeyAllAccess, created);
  if (!IsWindows()) {
    EXPECT_EQ(create, kAccessDenied);
  } else if (create == kSuccess) {
    Store().CloseKey(created);
  }
  std::uint32_t count = 0, longest = 0;
  EXPECT_EQ(Store().QueryInfoKey(readOnly, count, longest), kSuccess);
  Store().CloseKey(readOnly);
  EXPECT_NE(Store().SetValue(0, "v", kRegDword, one, 4), kSuccess) << "no key";
}

TEST_P(StoreModel, BuffersThatDoNotFitAreRefused) {
  const Key key = Create(kCurrentUser, UserScratch() + "\\abcdef");
  const std::uint8_t data[5] = {1, 2, 3, 4, 5};
  ASSERT_EQ(Store().SetValue(key, "v", kRegBinary, data, 5), kSuccess);
  std::uint8_t buffer[4];
  std::uint32_t type = 0, size = 4;
  EXPECT_EQ(Store().QueryValue(key, "v", &type, buffer, &size), kMoreData);
  size = 0;
  EXPECT_EQ(Store().QueryValue(key, "v", &type, nullptr, &size), kSuccess);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(Store().QueryValue(key, "missing", &type, nullptr, &size), kFileNotFound);
  Store().CloseKey(key);

  const Key parent = Open(kCurrentUser, UserScratch());
  std::uint32_t count = 0, longest = 0;
  ASSERT_EQ(Store().QueryInfoKey(parent, count, longest), kSuccess);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(longest, 6u);
  char name[16];
  std::uint32_t nameSize = 6;  // no room for the terminating zero
  EXPECT_EQ(Store().EnumKey(parent, 0, name, nameSize), kMoreData);
  nameSize = sizeof name;
  EXPECT_EQ(Store().EnumKey(parent, 0, name, nameSize), kSuccess);
  EXPECT_EQ(std::string(name, nameSize), "abcdef");
  nameSize = sizeof name;
  EXPECT_EQ(Store().EnumKey(parent, 1, name, nameSize), kNoMoreItems);
  Store().CloseKey(parent);
}

TEST_P(StoreModel, SubKeysAreEnumeratedInNameOrderWhateverTheCase) {
  for (const char* name : {"b", "C", "a"}) Store().CloseKey(Create(kCurrentUser, UserScratch() + "\\" + name));
  const Key parent = Open(kCurrentUser, UserScratch());
  std::string names;
  for (std::uint32_t i = 0;; ++i) {
    char name[8];
    std::uint32_t size = sizeof name;
    if (Store().EnumKey(parent, i, name, size) != kSuccess) break;
    names += std::string(name, size);
  }
  Store().CloseKey(parent);
  EXPECT_EQ(names, "abC");
}

TEST_P(StoreModel, ASubPathMayNotStartWithABackslash) {
  Key key = 0;
  EXPECT_EQ(Store().OpenKey(kCurrentUser, "\\Software", kKeyRead, key), 161) << "ERROR_BAD_PATHNAME";
  EXPECT_EQ(Store().CreateKey(kCurrentUser, "\\" + UserScratch(), kKeyAllAccess, key), 161);
}

STORE_SUITE(StoreModel);

}  // namespace
