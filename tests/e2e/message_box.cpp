// Waits for the first visible dialog box (#32770) on the desktop, writes its text to stdout in
// UTF-8, presses OK; ends with 1 when none shows within 60 s. scripts/check-installers reads
// msiexec's refusals so: Wine shows a launch condition's message in a box, and logs it nowhere.
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
  if (!shown) return 1;
  std::printf("%s\n", base::Narrow(e2e::AskText(GetDlgItem(box, 0xFFFF))).c_str());
  std::fflush(stdout);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
