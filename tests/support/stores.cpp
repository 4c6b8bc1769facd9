#include "tests/support/stores.h"

#include "settings/options_location.h"

#ifdef _WIN32
#include "settings/win_registry_store.h"
#include "tests/support/registry_tree.h"
#endif

namespace testing_support {

using namespace settings;

std::vector<StoreParam> AllStores() {
#ifdef _WIN32
  return {StoreKind::Memory, StoreKind::Memory932, StoreKind::Windows};
#else
  return {StoreKind::Memory, StoreKind::Memory932};
#endif
}

std::vector<StoreParam> AllStoresBothUsers() {
  std::vector<StoreParam> params;
  for (const StoreParam& store : AllStores())
    for (const bool otherUser : {false, true}) params.emplace_back(store.kind, otherUser);
  return params;
}

std::string StoreName(const ::testing::TestParamInfo<StoreParam>& info) {
  const std::string user = info.param.otherUser ? "OtherUser" : "";
  switch (info.param.kind) {
    case StoreKind::Memory: return "Memory" + user;
    case StoreKind::Memory932: return "Memory932" + user;
    case StoreKind::Windows: return "Windows" + user;
  }
  return "Unknown";
}

std::unique_ptr<RegistryStore> MakeStore(StoreKind kind) {
  switch (kind) {
    case StoreKind::Memory: return std::make_unique<MemoryRegistryStore>();
    case StoreKind::Memory932: return std::make_unique<MemoryRegistryStore>(base::CodePage::ShiftJis());
    case StoreKind::Windows:
#ifdef _WIN32
      return std::make_unique<WinRegistryStore>();
#else
      break;
#endif
  }
  return nullptr;
}

void Wipe(RegistryStore& store, Key root, const std::string& path) {
  Key key = 0;
  // A link is wiped itself, never what it names.
  if (store.OpenKeyNoFollow(root, path, kKeyAllAccess, key) != kSuccess) return;
  std::uint32_t type = 0, dataSize = 0;
  const bool link = store.QueryValue(key, kLinkValueName, &type, nullptr, &dataSize) == kSuccess && type == kRegLink;
  while (!link) {
    char name[1024];
    std::uint32_t size = sizeof name;
    if (store.EnumKey(key, 0, name, size) != kSuccess) break;
    Wipe(store, key, std::string(name, size));
  }
  store.DeleteOpenKey(key);
  store.CloseKey(key);
}

void MakeLink(RegistryStore& store, Key root, const std::string& path, Key targetRoot, const std::string& targetPath) {
  if (auto* memory = dynamic_cast<MemoryRegistryStore*>(&store))
    return memory->MakeLink(root, path, targetRoot, targetPath);
#ifdef _WIN32
  ASSERT_TRUE(CreateLink(root, path, targetRoot, targetPath)) << path;
#endif
}

void PutCanary(RegistryStore& store, Key root, const std::string& path) {
  PutRaw(store, root, path, "text", kRegSz, {'c', 0});
  PutRaw(store, root, path + "\\sub", "n", kRegDword, Dword(8));
}

void ExpectCanary(RegistryStore& store, Key root, const std::string& path) {
  EXPECT_EQ(GetRaw(store, root, path, "text").data, (std::vector<std::uint8_t>{'c', 0})) << path;
  EXPECT_EQ(GetDword(store, root, path + "\\sub", "n"), 8u) << path;
  EXPECT_FALSE(GetRaw(store, root, path, "gSaveMethod").exists) << "options written into " << path;
  Key key = 0;
  std::uint32_t subKeys = 0, longest = 0;
  ASSERT_EQ(store.OpenKey(root, path, kKeyRead, key), kSuccess) << path;
  EXPECT_EQ(store.QueryInfoKey(key, subKeys, longest), kSuccess);
  EXPECT_EQ(subKeys, 1u) << "a key made in " << path;
  store.CloseKey(key);
}

void PutRaw(RegistryStore& store, Key root, const std::string& path, const std::string& name, std::uint32_t type,
            const std::vector<std::uint8_t>& data) {
  Key key = 0;
  ASSERT_EQ(store.CreateKey(root, path, kKeyAllAccess, key), kSuccess) << path;
  EXPECT_EQ(store.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), kSuccess);
  store.CloseKey(key);
}

RawValue GetRaw(RegistryStore& store, Key root, const std::string& path, const std::string& name) {
  RawValue value;
  Key key = 0;
  if (store.OpenKey(root, path, kKeyRead, key) != kSuccess) return value;
  std::uint32_t size = 0;
  if (store.QueryValue(key, name, &value.type, nullptr, &size) == kSuccess) {
    value.data.resize(size);
    value.exists = store.QueryValue(key, name, &value.type, value.data.data(), &size) == kSuccess;
    value.data.resize(size);
  }
  store.CloseKey(key);
  return value;
}

std::optional<std::uint32_t> GetDword(RegistryStore& store, Key root, const std::string& path,
                                      const std::string& name) {
  const RawValue raw = GetRaw(store, root, path, name);
  if (!raw.exists) return std::nullopt;
  if (raw.type != kRegDword || raw.data.size() != 4) {
    ADD_FAILURE() << name << " is not a REG_DWORD (type " << raw.type << ")";
    return std::nullopt;
  }
  const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(raw.data[i]) << (8 * i); };
  return byte(0) | byte(1) | byte(2) | byte(3);  // least significant first
}

bool KeyExists(RegistryStore& store, Key root, const std::string& path) {
  Key key = 0;
  if (store.OpenKey(root, path, kKeyRead, key) != kSuccess) return false;
  store.CloseKey(key);
  return true;
}

void ExpectRegistryError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

void StoreTest::SetUp() {
  store_ = MakeStore(GetParam().kind);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '.';
  userScratch_ = "Software\\VintrelTests\\" + name;
  classesScratch_ = "VintrelTests." + name;
  AlsoWipe(kCurrentUser, userScratch_);
  AlsoWipe(kClassesRoot, classesScratch_);
  if (!GetParam().otherUser) return;
  AlsoWipe(kUsers, kOtherUserSid);
  Key hive = 0;
  if (store_->CreateKey(kUsers, kOtherUserSid, kKeyAllAccess, hive) != kSuccess)
    GTEST_SKIP() << "no key can be made under HKEY_USERS here (Windows keeps it for loaded hives)";
  store_->CloseKey(hive);
  optionsAt_ = FindOptionsLocation(*store_, kProgramUserSid, kOtherUserSid);
  ASSERT_EQ(optionsAt_.root, kUsers);
}

std::string StoreTest::OptionsParent() const {
  const std::string path = OptionsPath();
  return path.substr(0, path.rfind('\\'));
}

void StoreTest::AlsoWipe(Key root, const std::string& path) {
  Wipe(*store_, root, path);
  wiped_.emplace_back(root, path);
}

void StoreTest::TearDown() {
  for (const auto& [root, path] : wiped_) Wipe(*store_, root, path);
  if (auto* memory = Memory()) {
    EXPECT_EQ(memory->OpenHandles(), 0u) << "a key handle leaked";
  }
}

std::vector<std::uint8_t> Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

void LoadOrRaise(settings::RegistryStore& store, const settings::OptionsLocation& location,
                 settings::LoadedOptions& loaded) {
  loaded = settings::LoadOptions(store, location);
  if (loaded.failure) std::rethrow_exception(loaded.failure);
}

}  // namespace testing_support
