#include "tests/support/memory_registry_store.h"

#include <algorithm>
#include <cstring>

namespace testing_support {

using namespace settings;

struct MemoryRegistryStore::Node {
  struct Value {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  std::string name;  // as created
  Key root = 0;
  std::string path;  // folded, from the root
  bool deleted = false;
  bool link = false;
  Key targetRoot = 0;
  std::string targetPath;
  std::map<std::string, std::shared_ptr<Node>> children;  // by folded name: enumerated in that order
  std::map<std::string, Value> values;                    // by folded name
};

MemoryRegistryStore::MemoryRegistryStore(base::CodePage codePage) : codePage_(codePage) {
  for (const Key root : {kCurrentUser, kLocalMachine, kUsers}) {
    auto node = std::make_shared<Node>();
    node->root = root;
    roots_.emplace(root, std::move(node));
  }
  std::shared_ptr<Node> classes;
  Walk(kCurrentUser, "Software\\Classes", true, classes);
  Walk(kLocalMachine, "Software\\Classes", true, classes);
  roots_.emplace(kClassesRoot, classes);  // the root's own values are the machine's
}

MemoryRegistryStore::~MemoryRegistryStore() = default;

void MemoryRegistryStore::FailCall(unsigned nth, long status) {
  failAt_ = nth == 0 ? 0 : calls_ + nth;
  failStatus_ = status;
}

void MemoryRegistryStore::RefuseKey(Key root, const std::string& path) {
  if (root == kClassesRoot) return RefuseKey(kLocalMachine, "Software\\Classes\\" + path);
  std::string folded;
  for (const std::string& part : Split(path)) folded += (folded.empty() ? "" : "\\") + Fold(part);
  refused_.emplace(root, folded);
}

bool MemoryRegistryStore::Refused(Key root, const std::string& foldedPath) const {
  return refused_.count({root, foldedPath}) != 0;
}

bool MemoryRegistryStore::Count() {
  ++calls_;
  return calls_ != failAt_;
}

std::string MemoryRegistryStore::Fold(const std::string& name) const {
  std::string folded = name;
  for (std::size_t pos = 0; pos < folded.size(); pos += codePage_.CharLength(folded, pos)) {
    char& c = folded[pos];  // only a character's first byte: a trail byte may look like a letter
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

std::vector<std::string> MemoryRegistryStore::Split(const std::string& path) const {
  std::vector<std::string> parts(1);
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t length = codePage_.CharLength(path, pos);
    if (length == 1 && path[pos] == '\\')
      parts.emplace_back();
    else
      parts.back().append(path, pos, length);
    pos += length;
  }
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();  // a trailing backslash is allowed
  if (parts.size() == 1 && parts.front().empty()) parts.clear();
  return parts;
}

long MemoryRegistryStore::Resolve(Key key, std::uint32_t needed, std::shared_ptr<Node>& node) const {
  if (const auto root = roots_.find(key); root != roots_.end())
    node = root->second;
  else {
    const auto it = handles_.find(key);
    if (it == handles_.end()) return kInvalidHandle;
    if ((it->second.access & needed) != needed) return kAccessDenied;
    node = it->second.node;
  }
  return node->deleted ? kKeyDeleted : kSuccess;
}

long MemoryRegistryStore::Walk(Key base, const std::string& subPath, bool create, std::shared_ptr<Node>& node,
                               bool followLast, int depth) {
  if (depth > 8) return kBadPathName;  // links in a loop
  if (base == kClassesRoot) {
    const std::string below = "Software\\Classes\\" + subPath;
    if (Walk(kCurrentUser, below, false, node, followLast, depth) == kSuccess) return kSuccess;
    return Walk(kLocalMachine, below, create, node, followLast, depth);
  }
  std::shared_ptr<Node> at;
  if (const long status = Resolve(base, 0, at); status != kSuccess) return status;
  const std::vector<std::string> parts = Split(subPath);
  for (const std::string& part : parts)
    if (part.empty()) return kBadPathName;  // an empty key name inside the path
  for (const std::string& part : parts) {
    const std::string folded = Fold(part);
    const std::string path = at->path.empty() ? folded : at->path + "\\" + folded;
    if (Refused(at->root, path)) return kAccessDenied;
    auto child = at->children.find(folded);
    if (child == at->children.end()) {
      if (!create) return kFileNotFound;
      auto created = std::make_shared<Node>();
      created->name = part;
      created->root = at->root;
      created->path = path;
      child = at->children.emplace(folded, std::move(created)).first;
    }
    at = child->second;
    if (at->link && (followLast || &part != &parts.back())) {  // the target must exist
      if (const long status = Walk(at->targetRoot, at->targetPath, false, at, true, depth + 1); status != kSuccess)
        return status;
    }
  }
  node = at;
  return kSuccess;
}

long MemoryRegistryStore::OpenKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Open(base, subPath, access, result, true);
}

long MemoryRegistryStore::OpenKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Open(base, subPath, access, result, false);
}

long MemoryRegistryStore::CreateKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Create(base, subPath, access, result, true);
}

long MemoryRegistryStore::CreateKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) {
  return Create(base, subPath, access, result, false);
}

long MemoryRegistryStore::Open(Key base, const std::string& subPath, std::uint32_t access, Key& result, bool follow) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> node;
  if (const long status = Walk(base, subPath, false, node, follow); status != kSuccess) return status;
  if (IsRoot(base) && Split(subPath).empty()) {
    result = base;  // as Windows does: the predefined handle itself
    return kSuccess;
  }
  result = nextHandle_;
  nextHandle_ += 4;
  handles_[result] = {node, access};
  return kSuccess;
}

long MemoryRegistryStore::Create(Key base, const std::string& subPath, std::uint32_t access, Key& result, bool follow) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> parent;
  if (const long status = Resolve(base, 0, parent); status != kSuccess) return status;
  std::shared_ptr<Node> node;
  long status = Walk(base, subPath, false, node, follow);
  if (status == kFileNotFound) {
    // Creating below a key needs the right to create sub-keys on the handle given.
    if (!IsRoot(base) && (handles_[base].access & kKeyCreateSubKey) == 0) return kAccessDenied;
    status = Walk(base, subPath, true, node, follow);
  }
  if (status != kSuccess) return status;
  result = nextHandle_;
  nextHandle_ += 4;
  handles_[result] = {node, access};
  return kSuccess;
}

long MemoryRegistryStore::CloseKey(Key key) {
  const bool fail = !Count();
  if (IsRoot(key)) return fail ? failStatus_ : kSuccess;
  // A close that reports a failure still releases the handle, as closing a handle does.
  const bool known = handles_.erase(key) != 0;
  if (fail) return failStatus_;
  return known ? kSuccess : kInvalidHandle;
}

long MemoryRegistryStore::QueryInfoKey(Key key, std::uint32_t& subKeys, std::uint32_t& maxSubKeyLength) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> node;
  if (const long status = Resolve(key, kKeyQueryValue, node); status != kSuccess) return status;
  subKeys = static_cast<std::uint32_t>(node->children.size());
  maxSubKeyLength = 0;
  for (const auto& [folded, child] : node->children)
    maxSubKeyLength = std::max(maxSubKeyLength, static_cast<std::uint32_t>(codePage_.Utf16Length(child->name)));
  return kSuccess;
}

long MemoryRegistryStore::EnumKey(Key key, std::uint32_t index, char* name, std::uint32_t& nameSize) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> node;
  if (const long status = Resolve(key, kKeyEnumerateSubKeys, node); status != kSuccess) return status;
  if (index >= node->children.size()) return kNoMoreItems;
  const std::string& found = std::next(node->children.begin(), static_cast<std::ptrdiff_t>(index))->second->name;
  if (found.size() + 1 > nameSize) return kMoreData;
  std::memcpy(name, found.c_str(), found.size() + 1);
  nameSize = static_cast<std::uint32_t>(found.size());
  return kSuccess;
}

long MemoryRegistryStore::DeleteKey(Key base, const std::string& subPath) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> node;
  if (const long status = Walk(base, subPath, false, node); status != kSuccess) return status;
  if (Split(subPath).empty()) return kInvalidParameter;
  if (!node->children.empty()) return kAccessDenied;  // as Windows: sub-keys first
  return Unlink(node);
}

long MemoryRegistryStore::DeleteOpenKey(Key key) {
  if (!Count()) return failStatus_;
  if (IsRoot(key)) return kAccessDenied;
  std::shared_ptr<Node> node;
  if (const long status = Resolve(key, kDelete, node); status != kSuccess) return status;
  if (!node->children.empty()) return kAccessDenied;
  return Unlink(node);
}

// The parent's path and the last name of a path.
std::pair<std::string, std::string> MemoryRegistryStore::ParentAndLeaf(const std::string& path) const {
  std::vector<std::string> parts = Split(path);
  std::pair<std::string, std::string> split{"", parts.back()};
  parts.pop_back();
  for (const std::string& part : parts) split.first += (split.first.empty() ? "" : "\\") + part;
  return split;
}

long MemoryRegistryStore::Unlink(const std::shared_ptr<Node>& node) {
  const auto [parentPath, leaf] = ParentAndLeaf(node->path);  // the key's own path: no link above it
  std::shared_ptr<Node> parent;
  if (const long status = Walk(node->root, parentPath, false, parent, false); status != kSuccess) return status;
  node->deleted = true;
  parent->children.erase(leaf);
  return kSuccess;
}

void MemoryRegistryStore::MakeLink(Key root, const std::string& path, Key targetRoot, const std::string& targetPath) {
  const auto [parentPath, leaf] = ParentAndLeaf(path);
  std::shared_ptr<Node> parent;
  Walk(root, parentPath, true, parent);
  auto link = std::make_shared<Node>();
  link->name = leaf;
  link->root = parent->root;
  link->path = parent->path.empty() ? Fold(leaf) : parent->path + "\\" + Fold(leaf);
  link->link = true;
  link->targetRoot = targetRoot;
  link->targetPath = targetPath;
  link->values[Fold(kLinkValueName)] = {kLinkValueName, kRegLink, {targetPath.begin(), targetPath.end()}};
  parent->children[Fold(leaf)] = link;
}

long MemoryRegistryStore::QueryValue(Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* size) {
  if (!Count()) return failStatus_;
  if (data && !size) return kInvalidParameter;
  std::shared_ptr<Node> node;
  if (const long status = Resolve(key, kKeyQueryValue, node); status != kSuccess) return status;
  const auto it = node->values.find(Fold(name));
  if (it == node->values.end()) return kFileNotFound;
  const auto& value = it->second;
  if (type) *type = value.type;
  if (!size) return kSuccess;
  const auto length = static_cast<std::uint32_t>(value.data.size());
  if (data && length > *size) {
    *size = length;
    return kMoreData;
  }
  if (data && length) std::memcpy(data, value.data.data(), length);
  *size = length;
  return kSuccess;
}

long MemoryRegistryStore::SetValue(Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                   std::uint32_t size) {
  if (!Count()) return failStatus_;
  std::shared_ptr<Node> node;
  if (const long status = Resolve(key, kKeySetValue, node); status != kSuccess) return status;
  if (size && !data) return kInvalidParameter;
  node->values[Fold(name)] = {name, type, std::vector<std::uint8_t>(data, data + size)};
  return kSuccess;
}

std::vector<std::string> MemoryRegistryStore::Dump(Key root) const {
  std::vector<std::string> lines;
  auto visit = [&](auto& self, const Node& node) -> void {
    for (const auto& [folded, value] : node.values) {
      std::string line = node.path + " : " + folded + " = " + std::to_string(value.type) + ":";
      line.append(value.data.begin(), value.data.end());
      lines.push_back(std::move(line));
    }
    for (const auto& [folded, child] : node.children) {
      lines.push_back(child->path);
      self(self, *child);
    }
  };
  visit(visit, *roots_.at(root));
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace testing_support
