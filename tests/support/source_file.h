// A file of the source tree, read whole (empty when missing). The test target defines
// VT_SOURCE_DIR, the tree's path on the build machine; under Wine it is reached through drive Z:.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

inline std::string SourceFile(const std::string& path) {
#ifdef _WIN32
  const std::string root = std::string("Z:") + VT_SOURCE_DIR;
#else
  const std::string root = VT_SOURCE_DIR;
#endif
  std::ifstream in(root + "/" + path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace testing_support
