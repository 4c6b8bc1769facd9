// What the commit tests compare and how they make a real registry refuse a key.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "settings/registry_store.h"

namespace registration_tests {

// Every key and value below the given keys, one sorted line each; an empty path is a whole
// root. The in-memory store gives its whole tree (the tests make all of it); Windows' registry
// gives the listed keys only.
std::vector<std::string> Snapshot(settings::RegistryStore& store,
                                  const std::vector<std::pair<settings::Key, std::string>>& keys);

#ifdef _WIN32
// Creates the key as volatile. The registry refuses to create a lasting key below it
// (ERROR_CHILD_MUST_BE_VOLATILE), which is how the tests make it refuse a key.
bool CreateVolatileKey(settings::Key root, const std::string& path);
#endif

}  // namespace registration_tests
