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

TRegistry::Opened TRegistry::OpenEach(Key base, const std::string& subPath, bool create, std::uint32_t access) {
  std::vector<std::string> keys(1);
  const base::CodePage codePage = store_.AnsiCodePage();
  for (std::size_t pos = 0; pos < subPath.size();) {
    const std::size_t length = codePage.CharLength(subPath, pos);
    if (length == 1 && subPath[pos] == '\\')
      keys.emplace_back();
    else
      keys.back().append(subPath, pos, length);
    pos += length;
  }
  if (keys.size() > 1 && keys.back().empty()) keys.pop_back();  // a trailing "\" names the same key

  Opened opened{kSuccess, base, false};
  Key key = 0;
  if (keys.size() == 1 && keys.front().empty()) {  // the base itself: no link to look at
    opened.status = store_.OpenKey(base, subPath, access, key);
    opened.key = key;
    return opened;
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    // An empty name inside the path is refused as the store refuses it in a whole path.
    if (keys[i].empty()) opened.status = kBadPathName;
    const bool last = i + 1 == keys.size();
    const std::uint32_t mask = kKeyQueryValue | (last ? access : create ? kKeyCreateSubKey : 0);
    if (opened.status == kSuccess)
      opened.status = create ? store_.CreateKeyNoFollow(opened.key, keys[i], mask, key)
                             : store_.OpenKeyNoFollow(opened.key, keys[i], mask, key);
    if (opened.key != base) store_.CloseKey(opened.key);
    opened.key = opened.status == kSuccess ? key : 0;
    if (opened.status != kSuccess) return opened;

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const long query = store_.QueryValue(key, kLinkValueName, &type, nullptr, &size);
    opened.link = query == kSuccess && type == kRegLink;
    if (query != kSuccess && query != kFileNotFound) opened.status = query;  // not known to be no link
    if (opened.link && !last) opened.status = kAccessDenied;                 // never followed
    if (opened.status != kSuccess) {
      store_.CloseKey(key);
      opened.key = 0;
      return opened;
    }
  }
  return opened;
}

bool TRegistry::OpenPath(const std::string& path, bool create) {
  const Resolved target = Resolve(path);
  // Formed before the key is opened, so nothing can throw once a new handle is held.
  std::string newPath = target.relativeToOpenKey ? currentPath_ + "\\" + target.subPath : target.subPath;

  const Opened opened = OpenEach(target.base, target.subPath, create && !target.subPath.empty(), access_);
  if (opened.status != kSuccess) return false;
  if (opened.link) {
    store_.CloseKey(opened.key);
    return false;
  }

  ClosePath();
  currentKey_ = opened.key;
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

bool TRegistry::IsLink(const std::string& path) {
  const Resolved target = Resolve(path);
  if (target.subPath.empty()) return false;
  const Opened opened = OpenEach(target.base, target.subPath, false, kKeyQueryValue);
  if (opened.status != kSuccess) return false;
  store_.CloseKey(opened.key);
  return opened.link;
}

bool TRegistry::DeletePath(const std::string& path) {
  const Resolved target = Resolve(path);
  // An empty sub-path would name the base key itself (a root, or the open key): never deleted.
  if (target.subPath.empty()) return false;

  const Opened opened = OpenEach(target.base, target.subPath, false, access_ | kDelete);
  if (opened.status != kSuccess) return false;
  // The target is the current key while its sub-keys go, so their bare names resolve below it.
  struct Restore {
    TRegistry& cursor;
    Key saved;
    Key opened;
    ~Restore() {
      cursor.currentKey_ = saved;
      cursor.store_.CloseKey(opened);
    }
  } restore{*this, currentKey_, opened.key};
  currentKey_ = opened.key;

  std::uint32_t subKeys = 0;
  std::uint32_t longest = 0;
  // A link's sub-keys would be its target's: a link is deleted as it is.
  if (!opened.link && store_.QueryInfoKey(opened.key, subKeys, longest) == kSuccess) {
    // The store counts the longest name in UTF-16 units; in the ANSI code page each of them
    // can take up to MaxCharSize bytes.
    std::vector<char> name(static_cast<std::size_t>(longest) * store_.AnsiCodePage().MaxCharSize() + 1);
    for (std::uint32_t index = subKeys; index-- > 0;) {
      auto size = static_cast<std::uint32_t>(name.size());
      if (store_.EnumKey(opened.key, index, name.data(), size) == kSuccess)
        DeletePath(std::string(name.data(), size));  // each sub-key best-effort: its result is not needed
    }
  }
  // Through the handle, not by the path again: the key deleted is the one looked at.
  return store_.DeleteOpenKey(opened.key) == kSuccess;
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
