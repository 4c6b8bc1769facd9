// A file of the source tree, read whole (empty when missing). The test target defines
// VT_SOURCE_DIR, the tree's path relative to the test program's folder; a test bundle holds the
// file beside the program, under the same relative name (tests/support/test_files.h).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_files.h"

namespace testing_support {

inline std::string SourceFile(const std::string& path) {
  std::ifstream in(TestFile(path, std::filesystem::path(VT_SOURCE_DIR) / path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace testing_support
