// A store wrapper that fills every data and name buffer with a sentinel byte before the real
// store sees it, so a reader that uses a byte the store did not write gets the sentinel,
// which no test expects.
#pragma once

#include <cstring>

#include "settings/registry_store.h"

namespace testing_support {

inline constexpr std::uint8_t kSentinel = 0xA5;

class SentinelStore final : public settings::RegistryStore {
public:
  explicit SentinelStore(settings::RegistryStore& inner) : inner_(inner) {}

  long OpenKey(settings::Key base, const std::string& subPath, std::uint32_t access, settings::Key& result) override {
    return inner_.OpenKey(base, subPath, access, result);
  }
  long CreateKey(settings::Key base, const std::string& subPath, std::uint32_t access, settings::Key& result) override {
    return inner_.CreateKey(base, subPath, access, result);
  }
  long OpenKeyNoFollow(settings::Key base, const std::string& subPath, std::uint32_t access,
                       settings::Key& result) override {
    return inner_.OpenKeyNoFollow(base, subPath, access, result);
  }
  long CreateKeyNoFollow(settings::Key base, const std::string& subPath, std::uint32_t access,
                         settings::Key& result) override {
    return inner_.CreateKeyNoFollow(base, subPath, access, result);
  }
  long CloseKey(settings::Key key) override { return inner_.CloseKey(key); }
  long QueryInfoKey(settings::Key key, std::uint32_t& subKeys, std::uint32_t& longest) override {
    return inner_.QueryInfoKey(key, subKeys, longest);
  }
  long EnumKey(settings::Key key, std::uint32_t index, char* name, std::uint32_t& nameSize) override {
    std::memset(name, kSentinel, nameSize);
    return inner_.EnumKey(key, index, name, nameSize);
  }
  long DeleteKey(settings::Key base, const std::string& subPath) override { return inner_.DeleteKey(base, subPath); }
  long DeleteOpenKey(settings::Key key) override { return inner_.DeleteOpenKey(key); }
  long QueryValue(settings::Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    if (data && size) std::memset(data, kSentinel, *size);
    return inner_.QueryValue(key, name, type, data, size);
  }
  long SetValue(settings::Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    return inner_.SetValue(key, name, type, data, size);
  }
  base::CodePage AnsiCodePage() const override { return inner_.AnsiCodePage(); }

private:
  settings::RegistryStore& inner_;
};

}  // namespace testing_support
