// The application object: the program's title, the hidden application window that owns every
// other window and carries the title and the icon (the taskbar entry), the error box, and the
// run loop that ends with the main window.
#pragma once

#include <windows.h>

#include <string>

#include "ui/form.h"

namespace app {

class Application final : public ui::Host {
public:
  // Throws when its window class or window cannot be made, as a form does.
  Application();
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::wstring& Title() const { return title_; }

  HWND Owner() const override { return window_.get(); }
  HICON Icon() const override { return icon_; }
  // A modal box owned by the application window: the message (with the "." rule), the title as
  // caption, an OK button and the stop icon. The program's other windows wait while it shows.
  void ShowError(const std::string& message) override;
  void Minimize() override;
  void MainFormClosed() override;

  // Shows the main window as the start-up show command says (3 maximised, 7 minimised, anything
  // else normally) and runs the messages until the main window has closed.
  void Run(ui::Form& mainForm, int showCommand);

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  std::wstring title_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  ui::WindowHandle window_;
  ui::Form* mainForm_ = nullptr;
};

// The title: the program's file name without its folder, cut at its first ".", all but the first
// character in lower case.
std::wstring ProgramTitle();
// The error box of ShowError, also for no owner (when the application could not be made): the
// message with the "." rule, the title as caption, an OK button and the stop icon.
void ShowErrorBox(HWND owner, const std::wstring& title, const std::string& message);

// The show command the program was started with: the creator's STARTUPINFO, else SW_SHOWNORMAL.
int StartupShowCommand();

}  // namespace app
