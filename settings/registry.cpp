#include "settings/registry.h"

#include <algorithm>
#include <vector>

namespace settings {

std::string ReadFailedMessage(const std::string& name) { return "'" + name + "' の取得に失敗しました"; }
std::string BadTypeMessage(const std::string& name) { return "'" + name + "' のデータ型が不正です"; }
std::string WriteFailedMessage(const std::string& name) { return "'" + name + "' の設定に失敗しました"; }

TRegistry::TRegistry(RegistryStore& store) : store_(store) {}

TRegistry::~TRegistry() { ClosePath(); }

void TRegistry::Root(Key root) {
  if (root == root_) return;
  root_ = root;
  ClosePath();
}

TRegistry::Resolved TRegistry::Resolve(const std::string& path) const {
  const bool absolute = !path.empty() && path.front() == '\\';
  const bool relativeToOpenKey = !absolute && currentKey_ != 0;
  return {absolute ? path.substr(1) : path, relativeToOpenKey ? currentKey_ : root_, relativeToOpenKey};
}

bool TRegistry::OpenPath(const std::string& path, bool create) {
  const Resolved target = Resolve(path);
  // Formed before the key is opened, so nothing can throw once a new handle is held.
  std::string newPath = target.relativeToOpenKey ? currentPath_ + "\\" + target.subPath : target.subPath;

  Key key = 0;
  const long status = create && !target.subPath.empty() ? store_.CreateKey(target.base, target.subPath, access_, key)
                                                        : store_.OpenKey(target.base, target.subPath, access_, key);
  if (status != kSuccess) return false;

  ClosePath();
  currentKey_ = key;
  currentPath_ = std::move(newPath);
  return true;
}

void TRegistry::ClosePath() {
  if (currentKey_ == 0) return;
  // Lazy write: the handle is only released, no flush is asked for.
  store_.CloseKey(currentKey_);
  currentKey_ = 0;
  currentPath_.clear();
}

bool TRegistry::DeletePath(const std::string& path) {
  const Resolved target = Resolve(path);
  // An empty sub-path would name the base key itself (a root, or the open key): never deleted.
  if (target.subPath.empty()) return false;

  Key targetKey = 0;
  if (store_.OpenKey(target.base, target.subPath, access_, targetKey) == kSuccess) {
    // The target is the current key while its sub-keys go, so their bare names resolve below it.
    struct Restore {
      TRegistry& cursor;
      Key saved;
      Key opened;
      ~Restore() {
        cursor.currentKey_ = saved;
        cursor.store_.CloseKey(opened);
      }
    } restore{*this, currentKey_, targetKey};
    currentKey_ = targetKey;

    std::uint32_t subKeys = 0;
    std::uint32_t longest = 0;
    if (store_.QueryInfoKey(targetKey, subKeys, longest) == kSuccess) {
      // The store counts the longest name in UTF-16 units; in the ANSI code page each of them
      // can take up to MaxCharSize bytes.
      std::vector<char> name(static_cast<std::size_t>(longest) * store_.AnsiCodePage().MaxCharSize() + 1);
      for (std::uint32_t index = subKeys; index-- > 0;) {
        auto size = static_cast<std::uint32_t>(name.size());
        if (store_.EnumKey(targetKey, index, name.data(), size) == kSuccess)
          DeletePath(std::string(name.data(), size));  // each sub-key best-effort: its result is not needed
      }
    }
  }
  return store_.DeleteKey(target.base, target.subPath) == kSuccess;  // the current key is back: same base
}

bool TRegistry::HasValue(const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return store_.QueryValue(currentKey_, name, &type, nullptr, &size) == kSuccess;
}

std::string TRegistry::GetString(const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (store_.QueryValue(currentKey_, name, &type, nullptr, &size) != kSuccess || size == 0) return {};

  std::string data(size, '\0');
  if (store_.QueryValue(currentKey_, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) != kSuccess)
    throw ERegistryException(ReadFailedMessage(name));
  if (type != kRegSz && type != kRegExpandSz) throw ERegistryException(BadTypeMessage(name));
  data.resize(std::min<std::size_t>(size, data.size()));  // only what the store filled
  return data.substr(0, data.find('\0'));
}

std::int32_t TRegistry::GetInteger(const std::string& name) {
  std::uint8_t data[4] = {};
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  if (store_.QueryValue(currentKey_, name, &type, data, &size) != kSuccess)
    throw ERegistryException(ReadFailedMessage(name));
  // A REG_DWORD may be stored with any length; only one of exactly four bytes is an integer.
  if (type != kRegDword || size != sizeof data) throw ERegistryException(BadTypeMessage(name));
  const std::uint32_t value = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
                              std::uint32_t{data[3]} << 24;
  return static_cast<std::int32_t>(value);
}

bool TRegistry::GetBool(const std::string& name) { return GetInteger(name) != 0; }

void TRegistry::PutValue(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  if (store_.SetValue(currentKey_, name, type, data, size) != kSuccess)
    throw ERegistryException(WriteFailedMessage(name));
}

void TRegistry::PutString(const std::string& name, const std::string& text) {
  // With its terminating zero byte: c_str() provides it.
  PutValue(name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
           static_cast<std::uint32_t>(text.size() + 1));
}

void TRegistry::PutInteger(const std::string& name, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
  PutValue(name, kRegDword, data, sizeof data);
}

void TRegistry::PutBool(const std::string& name, bool value) { PutInteger(name, value ? 1 : 0); }

}  // namespace settings
