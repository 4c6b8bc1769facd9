// The program's exception: a message text, in UTF-8, for the application's error box.
#pragma once

#include <stdexcept>
#include <string>

namespace base {

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

}  // namespace base
