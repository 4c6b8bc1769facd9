// A registry held in memory, for fast tests on any build. HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE
// and HKEY_USERS are separate trees with the same rules, each with Software\Classes from the
// start. HKEY_CLASSES_ROOT is their merged view: a path opens the per-user key under
// HKEY_CURRENT_USER\Software\Classes when it is there, else the machine's, where keys are also
// created; below an open key nothing is merged. Links (MakeLink) are followed as Windows
// follows them, except by the ...NoFollow operations for the last key. It behaves as
// Windows' registry does where the key cursor can tell: names match without regard to letter case (ASCII letters, in
// whole characters of the code page), a handle stays valid after the one it was opened from
// is closed, a key that still has sub-keys cannot be deleted, the access mask is enforced,
// data or names that do not fit the caller's buffer are refused, and the longest sub-key name
// is reported in UTF-16 units.
//
// For fault injection it counts calls and open handles, can fail the Nth call from now, and
// can refuse to open or create given keys.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "settings/registry_store.h"

namespace testing_support {

class MemoryRegistryStore final : public settings::RegistryStore {
public:
  using Key = settings::Key;

  explicit MemoryRegistryStore(base::CodePage codePage = base::CodePage::SingleByte());
  ~MemoryRegistryStore() override;

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
  base::CodePage AnsiCodePage() const override { return codePage_; }

  // Fault injection and accounting.
  unsigned Calls() const { return calls_; }
  std::size_t OpenHandles() const { return handles_.size(); }
  // The nth call from now (1 for the next one) of any operation fails with `status` and does
  // nothing, except that a failed close still releases its handle.
  void FailCall(unsigned nth, long status = settings::kAccessDenied);
  // Opening or creating the key at `path` below `root` fails with access denied.
  void RefuseKey(Key root, const std::string& path);

  // A link at `path` (its parents created) to the key at `targetPath` below `targetRoot`.
  void MakeLink(Key root, const std::string& path, Key targetRoot, const std::string& targetPath);

  // A listing of the whole tree below a root, one line per key and value, sorted: for
  // comparing two stores' states in tests.
  std::vector<std::string> Dump(Key root) const;

private:
  struct Node;
  struct Handle {
    std::shared_ptr<Node> node;
    std::uint32_t access;
  };

  bool Count();  // false when this call is the one to fail
  long Resolve(Key key, std::uint32_t needed, std::shared_ptr<Node>& node) const;
  long Walk(Key base, const std::string& subPath, bool create, std::shared_ptr<Node>& node, bool followLast = true,
            int depth = 0);
  long Open(Key base, const std::string& subPath, std::uint32_t access, Key& result, bool follow);
  long Create(Key base, const std::string& subPath, std::uint32_t access, Key& result, bool follow);
  long Unlink(const std::shared_ptr<Node>& node);  // from its parent
  std::pair<std::string, std::string> ParentAndLeaf(const std::string& path) const;
  std::string Fold(const std::string& name) const;
  std::vector<std::string> Split(const std::string& path) const;
  bool Refused(Key root, const std::string& foldedPath) const;
  bool IsRoot(Key key) const { return roots_.count(key) != 0; }

  base::CodePage codePage_;
  std::map<Key, std::shared_ptr<Node>> roots_;
  std::map<Key, Handle> handles_;
  Key nextHandle_ = 0x1000;
  unsigned calls_ = 0;
  unsigned failAt_ = 0;
  long failStatus_ = settings::kSuccess;
  std::set<std::pair<Key, std::string>> refused_;  // root and folded path
};

}  // namespace testing_support
