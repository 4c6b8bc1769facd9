#include "app/application.h"

#include <stdexcept>

#include "base/text.h"
#include "ui/app_text.h"
#include "ui/disabled_windows.h"

namespace app {
namespace {

constexpr wchar_t kClassName[] = L"TApplication";
constexpr UINT kActivateLastPopup = WM_APP + 1;

}  // namespace

std::wstring ProgramTitle() { return base::Widen(ui::ApplicationTitle(ui::ModulePathUtf8(), &ui::LowerCase)); }

void ShowErrorBox(HWND owner, const std::wstring& title, const std::string& message) {
  const std::wstring text = base::Widen(ui::ErrorBoxText(message));
  MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

int StartupShowCommand() {
  STARTUPINFOW info{};
  info.cb = sizeof info;
  GetStartupInfoW(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWNORMAL;
}

Application::Application() : title_(ProgramTitle()) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  icon_ = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon_;
  wc.hIconSm = smallIcon_;
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register window class TApplication");
  // A window without size in the middle of the screen: it is never seen, only its taskbar entry.
  window_.reset(CreateWindowExW(0, kClassName, title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                                nullptr, instance, this));
  if (!window_) throw std::runtime_error("cannot create window TApplication");
}

Application::~Application() = default;

void Application::ShowError(const std::string& message) {
  const ui::DisabledWindows waiting(Owner());
  ShowErrorBox(Owner(), title_, message);
}

// The windows the application owns are hidden with it and come back when it is restored (see
// WM_SIZE below): Wine does not do this by itself.
void Application::Minimize() {
  ShowOwnedPopups(Owner(), FALSE);
  ShowWindow(Owner(), SW_MINIMIZE);
}

void Application::MainFormClosed() { PostQuitMessage(0); }

void Application::Run(ui::Form& mainForm, int showCommand) {
  mainForm_ = &mainForm;
  HWND main = mainForm.Handle();
  if (showCommand == SW_SHOWMINNOACTIVE) {
    // The application is minimised: the main window waits, hidden with it, until it is restored.
    ShowWindow(main, SW_SHOWNOACTIVATE);
    ShowOwnedPopups(Owner(), FALSE);
    ShowWindow(Owner(), SW_SHOWMINNOACTIVE);
  } else {
    // The main window first: the taskbar entry that comes with the application window can
    // follow it, and it is what the user waits for.
    ShowWindow(main, showCommand == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ShowWindow(Owner(), SW_SHOWNOACTIVATE);
    SetForegroundWindow(main);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    try {
      ui::ProcessMessage(msg);
    } catch (...) {
      ui::ShowCurrentException(*this);
    }
  }
  mainForm_ = nullptr;
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Application*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_ACTIVATE:
      // The application window is never the one to work in: hand the activation on to the
      // window the user worked in last (the main window or the open dialog).
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) PostMessageW(hwnd, kActivateLastPopup, 0, 0);
      return 0;
    case kActivateLastPopup: {
      HWND target = GetLastActivePopup(hwnd);
      // None was active yet after a minimised start: the main window, as after a normal start.
      if (target == hwnd && self && self->mainForm_) target = self->mainForm_->Handle();
      if (target != hwnd && IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
      return 0;
    }
    case WM_SIZE:
      if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) ShowOwnedPopups(hwnd, TRUE);
      break;
    case WM_CLOSE:
      // The taskbar entry's Close closes the main window, which ends the program.
      if (self && self->mainForm_ && IsWindowEnabled(self->mainForm_->Handle())) self->mainForm_->Close();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (self) self->window_.release();
      break;
    default: break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace app
