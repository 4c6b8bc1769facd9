// The real registry below a key as text, for comparing what a run left against what was there:
// one line for the key, one for each value (name, type and data bytes), then the subkeys',
// depth first. A key that does not open adds nothing.
#pragma once

#include <string>
#include <vector>

#include "settings/registry_store.h"

namespace testing_support {

void AppendRegistryTree(settings::Key root, const std::string& path, std::vector<std::string>& lines);

}  // namespace testing_support
