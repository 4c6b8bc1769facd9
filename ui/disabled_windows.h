// DisabledWindows: the program's other windows wait while a modal box or dialog runs. On
// construction it disables every visible enabled window of the calling thread, and the extra
// windows given that are enabled, except the one to keep; on destruction it enables again those
// of them that still exist. Nothing it did not disable is enabled.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace ui {

class DisabledWindows {
public:
  explicit DisabledWindows(HWND keep, std::initializer_list<HWND> extra = {});
  ~DisabledWindows();
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
  std::vector<HWND> disabled_;
};

}  // namespace ui
