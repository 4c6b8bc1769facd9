// Windows' own registry through advapi32's narrow (ANSI) functions.
#pragma once

#include "settings/registry_store.h"

namespace settings {

class WinRegistryStore final : public RegistryStore {
public:
  long OpenKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) override;
  long CreateKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) override;
  long OpenKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) override;
  long CreateKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) override;
  long CloseKey(Key key) override;
  long QueryInfoKey(Key key, std::uint32_t& subKeys, std::uint32_t& maxSubKeyLength) override;
  long EnumKey(Key key, std::uint32_t index, char* name, std::uint32_t& nameSize) override;
  long DeleteKey(Key base, const std::string& subPath) override;
  long DeleteOpenKey(Key key) override;
  long QueryValue(Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  base::CodePage AnsiCodePage() const override;
};

}  // namespace settings
