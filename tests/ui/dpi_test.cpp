// The windows at the display's scale: the awareness the process declares, and a window moved
// to a monitor of another dpi.
#include <array>
#include <cstdio>

#include "base/module_function.h"
#include "tests/ui/window_fixture.h"
#include "ui/dpi.h"

namespace {

using ui_testing::WindowTest;

// What the system says of the process once it has declared itself, where it can say it.
TEST_F(WindowTest, DpiAwarenessDeclaredIsWhatTheSystemReports) {
  const app::DpiAwareness declared = Awareness();
  // The names in the order of app::DpiAwareness.
  const char* name = std::array{"per-monitor v2", "per-monitor", "system", "none"}[static_cast<std::size_t>(declared)];
  RecordProperty("awareness", name);
  std::printf("DPI awareness that took effect: %s; system dpi %d\n", name, ui::SystemDpi());
  ASSERT_NE(declared, app::DpiAwareness::None) << "SetProcessDPIAware exists on every system the program runs on";
  EXPECT_TRUE(IsProcessDPIAware());
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto context = base::ModuleFunction<DPI_AWARENESS_CONTEXT(WINAPI*)()>(user32, "GetThreadDpiAwarenessContext");
  const auto awareness =
      base::ModuleFunction<DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT)>(user32,
                                                                          "GetAwarenessFromDpiAwarenessContext");
  if (!context || !awareness) return;
  // At least what was declared: Wine 8 refuses both per-monitor calls, accepts the system-aware
  // one and then reports the thread per-monitor aware.
  const DPI_AWARENESS reported = awareness(context());
  if (declared == app::DpiAwareness::System)
    EXPECT_GE(reported, DPI_AWARENESS_SYSTEM_AWARE);
  else
    EXPECT_EQ(reported, DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
