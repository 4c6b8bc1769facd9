// The registry stores the shared suites run on: the in-memory store (single-byte and code
// page 932) on every build, and Windows' real registry in the Windows build (under Wine here).
// Each test works below scratch keys of its own, wiped before and after it. The suites that work
// on the options key run twice on each store: with the key under HKEY_CURRENT_USER, and with
// it in another desktop user's hive under HKEY_USERS, which the fixture makes for the test.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/memory_registry_store.h"
#include "settings/options.h"
#include "settings/registry.h"

namespace testing_support {

enum class StoreKind { Memory, Memory932, Windows };

// A store, and whose options key the test works on.
struct StoreParam {
  StoreParam(StoreKind store, bool inOtherUser = false) : kind(store), otherUser(inOtherUser) {}
  StoreKind kind;
  bool otherUser;  // the options key in kOtherUserSid's hive under HKEY_USERS
};

// The users of the options tests: the program's (any SID other than the other one), and
// another desktop user, whose made-up hive the fixture creates under HKEY_USERS and removes.
inline constexpr const char* kProgramUserSid = "S-1-5-21-0-0-0-1000";
inline constexpr const char* kOtherUserSid = "S-1-5-21-3141592653-589793238-462643383-1001";

std::vector<StoreParam> AllStores();           // those this build can run
std::vector<StoreParam> AllStoresBothUsers();  // each of them with both options keys
std::string StoreName(const ::testing::TestParamInfo<StoreParam>& info);
std::unique_ptr<settings::RegistryStore> MakeStore(StoreKind kind);

// Deletes a key and everything below it, a link itself, whatever the cursor under test does.
void Wipe(settings::RegistryStore& store, settings::Key root, const std::string& path);

// A registry link at `path` to the existing key at `targetPath`.
void MakeLink(settings::RegistryStore& store, settings::Key root, const std::string& path, settings::Key targetRoot,
              const std::string& targetPath);
// A canary for links to point at: a value and a sub-key with one. ExpectCanary: it is as it was
// made, with no option value or key added.
void PutCanary(settings::RegistryStore& store, settings::Key root, const std::string& path);
void ExpectCanary(settings::RegistryStore& store, settings::Key root, const std::string& path);

// Writes a raw value (any type, any bytes), creating the key.
void PutRaw(settings::RegistryStore& store, settings::Key root, const std::string& path, const std::string& name,
            std::uint32_t type, const std::vector<std::uint8_t>& data);

struct RawValue {
  bool exists = false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};
RawValue GetRaw(settings::RegistryStore& store, settings::Key root, const std::string& path, const std::string& name);
// A REG_DWORD value; nullopt when it is absent, and a failure of the test when it has another type.
std::optional<std::uint32_t> GetDword(settings::RegistryStore& store, settings::Key root, const std::string& path,
                                      const std::string& name);
bool KeyExists(settings::RegistryStore& store, settings::Key root, const std::string& path);

// A REG_DWORD's data: the value's four bytes, least significant first.
std::vector<std::uint8_t> Dword(std::uint32_t value);

// LoadOptions with its failure raised: `loaded` holds the values, then the failure is thrown.
void LoadOrRaise(settings::RegistryStore& store, const settings::OptionsLocation& location,
                 settings::LoadedOptions& loaded);

// Runs `action` and checks that it throws ERegistryException with exactly `message`.
void ExpectRegistryError(const std::function<void()>& action, const std::string& message);

class StoreTest : public ::testing::TestWithParam<StoreParam> {
protected:
  void SetUp() override;
  void TearDown() override;

  settings::RegistryStore& Store() { return *store_; }
  // Null unless the store is an in-memory one.
  testing_support::MemoryRegistryStore* Memory() {
    return dynamic_cast<testing_support::MemoryRegistryStore*>(store_.get());
  }
  bool IsWindows() const { return GetParam().kind == StoreKind::Windows; }

  // Scratch paths, without a leading backslash: one under HKEY_CURRENT_USER, one under
  // HKEY_CLASSES_ROOT, both named after the test.
  const std::string& UserScratch() const { return userScratch_; }
  const std::string& ClassesScratch() const { return classesScratch_; }

  // The options key of the test, as the program finds it for the two users; its path without
  // the leading backslash. The other user's hive exists once SetUp has run.
  const settings::OptionsLocation& OptionsAt() const { return optionsAt_; }
  settings::Key OptionsRoot() const { return optionsAt_.root; }
  std::string OptionsPath() const { return optionsAt_.path.substr(1); }
  std::string OptionsParent() const;  // "...\Software\Tallgrove" of OptionsPath()

  // Keys the test touches outside its scratch keys (the options key, the handler's keys),
  // wiped before and after it.
  void AlsoWipe(settings::Key root, const std::string& path);

private:
  std::unique_ptr<settings::RegistryStore> store_;
  std::string userScratch_;
  std::string classesScratch_;
  settings::OptionsLocation optionsAt_;
  std::vector<std::pair<settings::Key, std::string>> wiped_;
};

#define STORE_SUITE(Suite) \
  INSTANTIATE_TEST_SUITE_P(Stores, Suite, ::testing::ValuesIn(testing_support::AllStores()), testing_support::StoreName)
#define OPTIONS_STORE_SUITE(Suite)                                                                    \
  INSTANTIATE_TEST_SUITE_P(Stores, Suite, ::testing::ValuesIn(testing_support::AllStoresBothUsers()), \
                           testing_support::StoreName)

}  // namespace testing_support
