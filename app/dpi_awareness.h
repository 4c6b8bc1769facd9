// The program's DPI awareness, declared at start-up before any window exists, so that the
// system draws its windows at the display's own scale instead of stretching a 96-dpi bitmap.
#pragma once

namespace app {

// Which declaration took effect, the best first.
enum class DpiAwareness {
  PerMonitorV2,  // SetProcessDpiAwarenessContext (Windows 10 1703): frames and dialogs scale too
  PerMonitor,    // SetProcessDpiAwareness of shcore.dll (Windows 8.1)
  System,        // SetProcessDPIAware (Vista): one dpi, the system's, for every monitor
  None,          // none was accepted: the system scales the windows
};

// Tries the three in that order, each looked up at run time (shcore.dll is loaded from the
// system folder, never imported). Call once, before the first window.
DpiAwareness DeclareDpiAwareness();

}  // namespace app
