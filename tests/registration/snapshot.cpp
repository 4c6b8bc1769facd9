#include "tests/registration/snapshot.h"

#include <algorithm>

#include "tests/support/memory_registry_store.h"

#ifdef _WIN32
#include "tests/support/registry_tree.h"
#endif

namespace registration_tests {

using settings::Key;

std::vector<std::string> Snapshot(settings::RegistryStore& store,
                                  const std::vector<std::pair<Key, std::string>>& keys) {
  std::vector<std::string> lines;
  if (auto* memory = dynamic_cast<testing_support::MemoryRegistryStore*>(&store)) {
    lines = memory->Dump(settings::kClassesRoot);
    for (std::string& line : memory->Dump(settings::kCurrentUser)) lines.push_back("HKCU " + line);
    for (std::string& line : memory->Dump(settings::kUsers)) lines.push_back("HKU " + line);
    return lines;
  }
#ifdef _WIN32
  for (const auto& [root, path] : keys) testing_support::AppendRegistryTree(root, path, lines);
#else
  (void)keys;
#endif
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace registration_tests
