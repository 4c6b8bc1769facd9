#include "ui/disabled_windows.h"

#include <algorithm>

namespace ui {
namespace {

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM list) {
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

}  // namespace

DisabledWindows::DisabledWindows(HWND keep, std::initializer_list<HWND> extra) {
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
  for (HWND hwnd : extra)
    if (hwnd && IsWindowEnabled(hwnd) && std::find(disabled_.begin(), disabled_.end(), hwnd) == disabled_.end())
      disabled_.push_back(hwnd);
  std::erase(disabled_, keep);
  for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
}

DisabledWindows::~DisabledWindows() {
  for (HWND hwnd : disabled_)
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
}

}  // namespace ui
