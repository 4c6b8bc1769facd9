#include "tests/e2e/desktop.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

constexpr Millis kPollInterval = 10ms;

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU: input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY; break;
    default: break;
  }
  return input;
}

void Send(std::vector<INPUT> inputs) {
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) throw std::runtime_error("SendInput refused the input");
}

}  // namespace

bool WaitUntil(const std::function<bool()>& ready, Millis timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

Program Program::Start(const std::wstring& exePath, std::optional<WORD> showCommand) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (showCommand) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = *showCommand;
  }
  std::wstring commandLine = L"\"" + exePath + L"\"";
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    throw std::runtime_error("cannot start " + base::Narrow(exePath) + ", error " + std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  return Program(KernelHandle(info.hProcess), info.dwProcessId);
}

Program::~Program() {
  if (process_) Kill();
}

bool Program::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Program::WaitExit(Millis timeout) const {
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void Program::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.get(), 99);
  WaitForSingleObject(process_.get(), 5000);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

std::wstring TextOf(HWND window) {
  std::wstring text(1024, L'\0');
  int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

std::wstring AskText(HWND control) {
  std::wstring text(1024, L'\0');
  auto length = Ask(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(length.value_or(0), 0)));
  return text;
}

namespace {

struct TopLevelSearch {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId && (!search.className || _wcsicmp(ClassOf(window).c_str(), search.className) == 0))
    search.found.push_back(window);
  return TRUE;
}

struct ChildSearch {
  const wchar_t* className;
  const wchar_t* text;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<ChildSearch*>(param);
  if (_wcsicmp(ClassOf(window).c_str(), search.className) == 0 && (!search.text || TextOf(window) == search.text))
    search.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
  TopLevelSearch search{processId, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForVisibleWindow(DWORD processId, const wchar_t* className, Millis timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(processId, className))
          if (IsWindowVisible(window)) {
            found = window;
            return true;
          }
        return false;
      },
      timeout);
  return found;
}

std::vector<HWND> Descendants(HWND parent, const wchar_t* className, const wchar_t* text) {
  ChildSearch search{className, text, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindControl(HWND parent, const wchar_t* className, const wchar_t* text) {
  auto found = Descendants(parent, className, text);
  return found.size() == 1 ? found.front() : nullptr;
}

HWND FocusOf(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT RectInClientOf(HWND control, HWND topLevel) {
  RECT rect = WindowRect(control);
  MapWindowPoints(HWND_DESKTOP, topLevel, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ClickAt(POINT screen) {
  // Absolute coordinates are 0..65535 across the primary screen; round up so the pixel hit
  // is the one asked for.
  LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  auto normal = [](LONG pixel, LONG size) { return static_cast<LONG>((pixel * 65536L + size - 1) / size); };
  std::vector<INPUT> inputs(3);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = normal(screen.x, width);
    input.mi.dy = normal(screen.y, height);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  Send(std::move(inputs));
}

void Click(HWND window) {
  RECT rect = WindowRect(window);
  ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void Drag(POINT from, POINT to) {
  auto mouse = [](POINT at, DWORD flags) {
    LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((at.x * 65536L + width - 1) / width);
    input.mi.dy = static_cast<LONG>((at.y * 65536L + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    Send({input});
  };
  mouse(from, 0);
  mouse(from, MOUSEEVENTF_LEFTDOWN);
  constexpr int kSteps = 10;
  for (int step = 1; step <= kSteps; ++step) {
    std::this_thread::sleep_for(20ms);  // a move loop takes the pointer as it comes
    mouse({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps}, 0);
  }
  std::this_thread::sleep_for(20ms);
  mouse(to, MOUSEEVENTF_LEFTUP);
}

std::optional<POINT> FindHitTest(HWND window, LRESULT code) {
  // The middle of the first run of matching points on the first row that has one.
  RECT rect = WindowRect(window);
  LONG captionBottom = rect.top + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
  for (LONG y = rect.top + 2; y < captionBottom; y += 3) {
    std::optional<LONG> runRight;
    for (LONG x = rect.right - 1; x >= rect.left; --x) {
      auto answer = Ask(window, WM_NCHITTEST, 0, MAKELPARAM(x, y));
      if (!answer) return std::nullopt;
      if (*answer == code && !runRight) runRight = x;
      if (runRight && (*answer != code || x == rect.left)) return POINT{(x + 1 + *runRight) / 2, y};
    }
  }
  return std::nullopt;
}

void Tap(WORD vk) { Send({KeyInput(vk, false), KeyInput(vk, true)}); }

void Chord(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(KeyInput(*it, true));
  Send(std::move(inputs));
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis timeout) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                           &result))
    return std::nullopt;
  return static_cast<LRESULT>(result);
}

std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = base::Widen(path);
  bool unixPath = !wide.empty() && wide.front() == L'/';
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return unixPath ? L"Z:" + wide : wide;
}

}  // namespace e2e
