// ui_probe: the Windows half of the size and start-up script and of the screenshot script.
//
//   ui_probe startup RUNS EXE CLASS [EXE CLASS ...]
//     Starts each program RUNS times, in turn, and measures the time from just before
//     CreateProcess to the moment a visible top-level window of CLASS belongs to the new
//     process; then closes it (WM_CLOSE). One unmeasured run of each comes first. Prints one
//     line per program: "median <ms> runs <ms> <ms> ...".
//
//   ui_probe dialogunits
//     Prints the dialog base units (GetDialogBaseUnits) as "<x> <y>".
//
//   ui_probe shots EXE DIR [main]
//     Starts the settings program and, for the main window and then the detail dialog (not
//     with "main"), writes the window's screen rectangle as an X geometry (WxH+X+Y) to
//     DIR/<name>.geometry and waits until DIR/<name>.png exists, which the calling script makes
//     from the screen. Types R into the dialog's first shortcut field first, so it shows a
//     key. Closes everything with Cancel at the end.
//
// Exit code 0 on success, 1 on any failure (with a message on stderr).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/desktop.h"

namespace {

using namespace e2e;

double MillisSince(LARGE_INTEGER start) {
  LARGE_INTEGER now{}, frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double StartOnce(const std::wstring& exe, const std::wstring& className) {
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  Program program = Program::Start(exe);
  HWND window = nullptr;
  // Poll as often as the scheduler lets us: the resolution is what this measures.
  auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!window) {
    for (HWND candidate : TopLevelWindows(program.Id(), className.c_str()))
      if (IsWindowVisible(candidate)) window = candidate;
    if (window) break;
    if (std::chrono::steady_clock::now() > deadline || !program.Running())
      throw std::runtime_error("no window of class " + base::Narrow(className) + " from " + base::Narrow(exe));
    Sleep(1);
  }
  double elapsed = MillisSince(start);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (!program.WaitExit(10s)) throw std::runtime_error(base::Narrow(exe) + " did not end after WM_CLOSE");
  return elapsed;
}

int Startup(int runs, const std::vector<std::pair<std::wstring, std::wstring>>& programs) {
  std::vector<std::vector<double>> times(programs.size());
  for (const auto& [exe, className] : programs) StartOnce(exe, className);  // warm the caches
  for (int run = 0; run < runs; ++run)
    for (std::size_t i = 0; i < programs.size(); ++i)
      times[i].push_back(StartOnce(programs[i].first, programs[i].second));
  for (auto& list : times) {
    std::vector<double> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    std::size_t n = sorted.size();
    double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("median %.1f runs", median);
    for (double t : list) std::printf(" %.1f", t);
    std::printf("\n");
  }
  return 0;
}

void Handshake(const std::wstring& dir, const std::wstring& name, HWND window) {
  RECT rect = WindowRect(window);
  std::wstring geometry = std::to_wstring(rect.right - rect.left) + L"x" + std::to_wstring(rect.bottom - rect.top) +
                          L"+" + std::to_wstring(rect.left) + L"+" + std::to_wstring(rect.top);
  std::wstring png = dir + L"\\" + name + L".png";
  DeleteFileW(png.c_str());
  {
    std::wstring temp = dir + L"\\" + name + L".geometry.tmp";
    std::ofstream out(temp.c_str());
    out << base::Narrow(geometry) << "\n";
    out.close();
    MoveFileExW(temp.c_str(), (dir + L"\\" + name + L".geometry").c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  if (!WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60s))
    throw std::runtime_error("no screenshot " + base::Narrow(png) + " came");
}

int Shots(const std::wstring& exe, const std::wstring& dir, bool mainOnly) {
  Program program = Program::Start(exe);
  HWND main = WaitForVisibleWindow(program.Id(), L"TFm_main", 30s);
  if (!main) throw std::runtime_error("the main window did not show");
  std::this_thread::sleep_for(700ms);  // let it paint
  Handshake(dir, L"main", main);

  if (!mainOnly) {
    Click(FindControl(main, L"Button", L"詳細な設定..."));
    HWND sub = WaitForVisibleWindow(program.Id(), L"TFm_Sub");
    if (!sub) throw std::runtime_error("the detail dialog did not show");
    std::this_thread::sleep_for(300ms);
    Tap('R');
    std::this_thread::sleep_for(500ms);
    Handshake(dir, L"sub", sub);
    Click(FindControl(sub, L"Button", L"ｷｬﾝｾﾙ"));
    if (!WaitUntil([&] { return !IsWindowVisible(sub); })) throw std::runtime_error("the dialog did not close");
  }
  Click(FindControl(main, L"Button", L"ｷｬﾝｾﾙ"));
  if (!program.WaitExit()) throw std::runtime_error("the program did not end");
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: ui_probe startup RUNS EXE CLASS [EXE CLASS ...]\n"
               "       ui_probe dialogunits\n"
               "       ui_probe shots EXE DIR [main]\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == L"startup" && args.size() % 2 == 0) {
      std::vector<std::pair<std::wstring, std::wstring>> programs;
      for (std::size_t i = 2; i + 1 < args.size(); i += 2)
        programs.emplace_back(WindowsPath(base::Narrow(args[i])), args[i + 1]);
      return Startup(std::stoi(args[1]), programs);
    }
    if (args.size() == 1 && args[0] == L"dialogunits") {
      const LONG units = GetDialogBaseUnits();
      std::printf("%d %d\n", LOWORD(units), HIWORD(units));
      return 0;
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == L"shots")
      return Shots(WindowsPath(base::Narrow(args[1])), WindowsPath(base::Narrow(args[2])),
                   args.size() == 4 && args[3] == L"main");
    return Usage();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ui_probe: %s\n", e.what());
    return 1;
  }
}
