// The real registry below a key as text, for comparing what a run left against what was there:
// one line for the key, one for each value (name, type and data bytes), then the subkeys',
// depth first. A key that does not open adds nothing.
#pragma once

#include <string>
#include <vector>

#include "settings/registry_store.h"

namespace testing_support {

// Creates the key as volatile. The registry refuses to create a lasting key below it
// (ERROR_CHILD_MUST_BE_VOLATILE), which is how the tests make it refuse a key.
bool CreateVolatileKey(settings::Key root, const std::string& path);

// A volatile registry link at `path` to the existing key at `targetPath`.
bool CreateLink(settings::Key root, const std::string& path, settings::Key targetRoot, const std::string& targetPath);

void AppendRegistryTree(settings::Key root, const std::string& path, std::vector<std::string>& lines);

}  // namespace testing_support
