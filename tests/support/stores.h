// The registry stores the shared suites run on: the in-memory store (single-byte and code
// page 932) on every build, and Windows' real registry in the Windows build (under Wine here).
// Each test works below scratch keys of its own, wiped before and after it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/memory_registry_store.h"
#include "settings/options.h"
#include "settings/registry.h"

namespace testing_support {

enum class StoreKind { Memory, Memory932, Windows };

std::vector<StoreKind> AllStores();  // those this build can run
std::string StoreName(const ::testing::TestParamInfo<StoreKind>& info);
std::unique_ptr<settings::RegistryStore> MakeStore(StoreKind kind);

// Deletes a key and everything below it, whatever the cursor under test does.
void Wipe(settings::RegistryStore& store, settings::Key root, const std::string& path);

// Writes a raw value (any type, any bytes), creating the key.
void PutRaw(settings::RegistryStore& store, settings::Key root, const std::string& path, const std::string& name,
            std::uint32_t type, const std::vector<std::uint8_t>& data);

struct RawValue {
  bool exists = false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};
RawValue GetRaw(settings::RegistryStore& store, settings::Key root, const std::string& path, const std::string& name);
bool KeyExists(settings::RegistryStore& store, settings::Key root, const std::string& path);

// Runs `action` and checks that it throws ERegistryException with exactly `message`.
// A REG_DWORD's data: the value's four bytes, least significant first.
std::vector<std::uint8_t> Dword(std::uint32_t value);

// LoadOptions with its failure raised: `loaded` holds the values, then the failure is thrown.
void LoadOrRaise(settings::RegistryStore& store, settings::LoadedOptions& loaded);

void ExpectRegistryError(const std::function<void()>& action, const std::string& message);

class StoreTest : public ::testing::TestWithParam<StoreKind> {
protected:
  void SetUp() override;
  void TearDown() override;

  settings::RegistryStore& Store() { return *store_; }
  // Null unless the store is an in-memory one.
  settings::MemoryRegistryStore* Memory() { return dynamic_cast<settings::MemoryRegistryStore*>(store_.get()); }
  bool IsWindows() const { return GetParam() == StoreKind::Windows; }

  // Scratch paths, without a leading backslash: one under HKEY_CURRENT_USER, one under
  // HKEY_CLASSES_ROOT, both named after the test.
  const std::string& UserScratch() const { return userScratch_; }
  const std::string& ClassesScratch() const { return classesScratch_; }

  // Keys the test touches outside its scratch keys (the options key, the handler's keys),
  // wiped before and after it.
  void AlsoWipe(settings::Key root, const std::string& path);

private:
  std::unique_ptr<settings::RegistryStore> store_;
  std::string userScratch_;
  std::string classesScratch_;
  std::vector<std::pair<settings::Key, std::string>> wiped_;
};

#define STORE_SUITE(Suite) \
  INSTANTIATE_TEST_SUITE_P(Stores, Suite, ::testing::ValuesIn(testing_support::AllStores()), \
                           testing_support::StoreName)

}  // namespace testing_support
