// What a test needs to use a program as a user would, from another process: start it, find
// its windows and controls, click and type with real input (SendInput, which under Wine goes
// through the same queue as the X server's events), and wait for what should follow.
//
// Every wait is bounded; a program still running when its Program object goes away is ended
// by force, so a failed test never leaves it behind.
#pragma once

#ifndef _WIN32
#error "the end-to-end helpers are Windows code"
#endif

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/handles.h"
#include "ui/win.h"  // Wide, Utf8

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

inline constexpr Millis kTimeout = 10s;  // for anything a program does in response to input

using testing_support::KernelHandle;

// Polls `ready` every few milliseconds until it answers true or the time is up.
bool WaitUntil(const std::function<bool()>& ready, Millis timeout = kTimeout);

// A started program. Move-only; ends the process by force at destruction if it still runs.
class Program {
public:
  // Starts `exePath` (a Windows path) with the given show command in STARTUPINFO, or the
  // system's default when none is given. Throws std::runtime_error when it cannot start.
  static Program Start(const std::wstring& exePath, std::optional<WORD> showCommand = std::nullopt);

  Program(Program&&) = default;
  Program& operator=(Program&&) = default;
  ~Program();

  DWORD Id() const { return processId_; }
  HANDLE Handle() const { return process_.get(); }
  bool Running() const;
  // The exit code once the process has ended within the timeout.
  std::optional<DWORD> WaitExit(Millis timeout = kTimeout) const;
  void Kill();

private:
  Program(KernelHandle process, DWORD processId) : process_(std::move(process)), processId_(processId) {}

  KernelHandle process_;
  DWORD processId_ = 0;
};

std::wstring ClassOf(HWND window);
// The window's own text, as GetWindowTextW gives it for another process's window.
std::wstring TextOf(HWND window);
// The text a control reports when asked (WM_GETTEXT): a drop-down list's selected row.
std::wstring AskText(HWND control);

// Top-level windows of a process with the given class (all when className is null).
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// The first visible one, waiting for it; null after the timeout.
HWND WaitForVisibleWindow(DWORD processId, const wchar_t* className, Millis timeout = kTimeout);

// Descendants of `parent` with the given class (case-insensitive) and, when given, exact text.
std::vector<HWND> Descendants(HWND parent, const wchar_t* className, const wchar_t* text = nullptr);
// The one descendant with that class and text; null when there is none or more than one.
HWND FindControl(HWND parent, const wchar_t* className, const wchar_t* text);

// The window that has the keyboard focus in the given thread, null if none.
HWND FocusOf(DWORD threadId);

// Rectangles in screen coordinates, and a control's rectangle relative to the client area of
// its top-level window.
RECT WindowRect(HWND window);
RECT RectInClientOf(HWND control, HWND topLevel);

// Real input. Click moves the mouse to the centre of the window's visible part and presses
// the left button; the keys are virtual-key codes.
void ClickAt(POINT screen);
void Click(HWND window);
// Presses the left button at `from`, moves in steps to `to` and releases it there.
void Drag(POINT from, POINT to);
// A screen point of the window where it answers WM_NCHITTEST with `code` (HTCAPTION,
// HTCLOSE, ...), searched along its title bar from the right; nullopt when there is none.
std::optional<POINT> FindHitTest(HWND window, LRESULT code);
void Tap(WORD vk);
// Presses the keys in order and releases them in reverse (Ctrl+R: {VK_CONTROL, 'R'}).
void Chord(const std::vector<WORD>& keys);

// Sends a message and returns its result, failing (nullopt) when the window does not answer
// within the timeout: a hung program must not hang the test.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, Millis timeout = kTimeout);

// A Windows path with backslashes from the path CMake gives: a Unix path (the build under
// Wine) is taken through drive Z:; a Windows one may come with forward slashes.
std::wstring WindowsPath(const std::string& path);

}  // namespace e2e
