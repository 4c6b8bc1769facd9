// What the commit tests compare and how they make a real registry refuse a key.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "settings/registry_store.h"
#ifdef _WIN32
#include "tests/support/registry_tree.h"
#endif

namespace registration_tests {

// Every key and value below the given keys, one sorted line each. The in-memory store gives
// its whole tree (the tests make all of it); Windows' registry gives the listed keys only.
std::vector<std::string> Snapshot(settings::RegistryStore& store,
                                  const std::vector<std::pair<settings::Key, std::string>>& keys);

#ifdef _WIN32
using testing_support::CreateVolatileKey;
#endif

}  // namespace registration_tests
