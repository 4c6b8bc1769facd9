// The program: its DPI awareness, the application object, the options location, the main
// settings window (which loads the settings while it is created), the detail dialog (hidden),
// then the run loop until the main window closes.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <exception>

#include "app/application.h"
#include "app/dpi_awareness.h"
#include "base/module_function.h"
#include "settings/options_location.h"
#include "settings/user_sid.h"
#include "settings/win_registry_store.h"
#include "ui/option.h"
#include "ui/sub.h"

namespace {

// No DLL that is loaded from here on may come from the program's own folder. Looked up at run
// time: Windows 7 has the function only with its loader update.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = base::ModuleFunction<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The windows and the run loop. Throws when the application window cannot be made.
int Run() {
  app::Application application;
  try {
    settings::WinRegistryStore store;
    // Decided once: loading and the commit use the same options key.
    ui::TFm_main main(application, store,
                      settings::FindOptionsLocation(store, settings::ProgramUserSid(), settings::DesktopUserSid()));
    ui::Fm_main = &main;
    ui::TFm_Sub sub(application);
    ui::Fm_Sub = &sub;
    application.Run(main, app::StartupShowCommand());
    ui::Fm_Sub = nullptr;
    ui::Fm_main = nullptr;
  } catch (...) {
    // Only a window that cannot be built gets here.
    ui::ShowCurrentException(application);
    return 1;
  }
  return 0;
}

}  // namespace

// An exception that escapes everything ends the program quietly: a GUI program has nowhere to
// print the default handler's text, and its name demangler alone is a fifth of the exe.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  app::DeclareDpiAwareness();  // best effort: without it the system scales the windows itself
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  try {
    return Run();
  } catch (const std::exception& e) {
    app::ShowErrorBox(nullptr, app::ProgramTitle(), e.what());  // no application window to own it
    return 1;
  }
}
