// TRegistry: the registry key cursor through which all registry work goes.
//
// It holds a root key, at most one open key (the current key, with its path below the root)
// and the access mask handed to the store whenever it opens or creates a key. Paths that begin
// with "\" resolve from the root; others from the open key, or from the root when none is open.
//
// Contract, kept on every path:
// - OpenPath replaces the current key only after the new one is open; on failure it answers
//   false and the cursor is unchanged.
// - OpenPath, DeletePath, IsLink and HasValue answer false and never raise; ClosePath cannot fail.
// - The value reads and writes raise ERegistryException with the value name as the caller gave
//   it, and leave the cursor unchanged.
// - DeletePath leaves the current key and path as it found them, exceptions included.
// - Destruction closes the current key; a handle is released exactly once.
// - No registry link is followed below the root or the open key: each key of a path is opened
//   itself (with KEY_QUERY_VALUE added, to tell a link) and looked at before the next. OpenPath
//   answers false for a path with a link anywhere on it and creates nothing through one;
//   DeletePath deletes nothing through a link above the key it deletes, and a link in the
//   subtree it deletes, or as that key, is deleted itself and its target left alone.
// The cursor caches nothing: every call goes to the store.
#pragma once

#include <cstdint>
#include <string>

#include "base/exception.h"
#include "settings/registry_store.h"

namespace settings {

class ERegistryException : public base::Exception {
public:
  using base::Exception::Exception;
};

class TRegistry {
public:
  explicit TRegistry(RegistryStore& store);
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  Key Root() const { return root_; }
  void Root(Key root);  // another root closes the current key
  std::uint32_t AccessMask() const { return access_; }
  void AccessMask(std::uint32_t access) { access_ = access; }  // takes effect at the next open
  Key CurrentKey() const { return currentKey_; }
  const std::string& CurrentPath() const { return currentPath_; }
  bool LazyWrite() const { return lazyWrite_; }

  bool OpenPath(const std::string& path, bool create);
  void ClosePath();
  bool DeletePath(const std::string& path);
  // Whether the last key of the path is a link (and no key above it is).
  bool IsLink(const std::string& path);

  bool HasValue(const std::string& name);
  std::string GetString(const std::string& name);
  std::int32_t GetInteger(const std::string& name);
  bool GetBool(const std::string& name);
  void PutString(const std::string& name, const std::string& text);
  void PutInteger(const std::string& name, std::int32_t value);
  void PutBool(const std::string& name, bool value);

private:
  struct Resolved {
    std::string subPath;
    Key base;
    bool relativeToOpenKey;
  };
  Resolved Resolve(const std::string& path) const;
  struct Opened {
    long status;
    Key key;
    bool link;
  };
  Opened OpenEach(Key base, const std::string& subPath, bool create, std::uint32_t access);
  void PutValue(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size);

  RegistryStore& store_;
  Key currentKey_ = 0;
  Key root_ = kCurrentUser;
  bool lazyWrite_ = true;
  std::string currentPath_;
  std::uint32_t access_ = kKeyAllAccess;
};

// The three messages of the value reads and writes, with the name in place of %s (UTF-8).
std::string ReadFailedMessage(const std::string& name);   // '%s' の取得に失敗しました
std::string BadTypeMessage(const std::string& name);      // '%s' のデータ型が不正です
std::string WriteFailedMessage(const std::string& name);  // '%s' の設定に失敗しました

}  // namespace settings
