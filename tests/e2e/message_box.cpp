// Reads a message box that another program shows and answers it as the person at the screen
// would: waits for the first visible dialog box (class #32770) on the desktop, writes its text
// to stdout in UTF-8, presses OK, and ends with 0; with 1 when none shows within 60 s.
// scripts/check-installers reads msiexec's refusals with it: Wine's installer shows a launch
// condition's message in a box only, and writes it to no log.
#include <cstdio>

#include "base/text.h"
#include "tests/e2e/desktop.h"

int main() {
  HWND box = nullptr;
  const bool shown = e2e::WaitUntil(
      [&] {
        box = FindWindowW(L"#32770", nullptr);
        return box && IsWindowVisible(box);
      },
      e2e::Millis(60000));
  if (!shown) {
    std::fprintf(stderr, "message_box: no message box showed\n");
    return 1;
  }
  std::printf("%s\n", base::Narrow(e2e::AskText(GetDlgItem(box, 0xFFFF))).c_str());
  std::fflush(stdout);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
