// What the windows need of the application object: the owner of every window, the icon for the
// windows without one of their own, the error box, minimising and the end of the main window.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Host {
public:
  virtual ~Host() = default;
  virtual HWND Owner() const = 0;                          // owns every form
  virtual HICON Icon() const = 0;                          // for forms without an icon of their own
  virtual void ShowError(const std::string& message) = 0;  // message as the exception gave it
  virtual void Minimize() = 0;
  virtual void MainFormClosed() = 0;
};

}  // namespace ui
