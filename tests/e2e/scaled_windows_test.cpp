// Both windows at the usual display scales, as another process sees them: every control where
// the scaled layout puts it, and the text drawn larger as the dpi grows (its ink read from the
// screen, as a font handle of another process cannot be).
#include <memory>
#include <thread>
#include <vector>

#include "tests/e2e/front.h"
#include "tests/support/source_file.h"
#include "ui/layout.h"
#include "ui/scale.h"

namespace e2e {
namespace {

using ScaledWindowsTest = ScaledFrontTest;

// Each control of the layout in `window`, found by its ID, at its scaled place: labels may be
// wider and higher (they grow to their text), everything else is exactly as scaled.
void ExpectLaidOut(HWND window, const char* layoutFile, int dpi) {
  const ui::FormSpec form = ui::ParseLayout(testing_support::SourceFile(layoutFile));
  for (const ui::ScaledControl& control : ui::ScaleForm(form, dpi).controls) {
    SCOPED_TRACE(control.def->name);
    HWND hwnd = GetDlgItem(window, control.id);
    ASSERT_NE(hwnd, nullptr);
    const RECT r = RectInClientOf(hwnd, window);
    const ui::Rect& b = control.bounds;
    EXPECT_EQ(r.left, b.left);
    EXPECT_EQ(r.top, b.top);
    if (control.def->kind == ui::ControlKind::Label) {
      EXPECT_GE(r.right - r.left, b.width);
      EXPECT_GE(r.bottom - r.top, b.height);
    } else {
      EXPECT_EQ(r.right - r.left, b.width);
      EXPECT_EQ(r.bottom - r.top, b.height);
    }
  }
}

// The width of what is drawn in the control: from the first to the last column of its screen
// rectangle with a pixel unlike its top-left one (the label's background).
int InkWidth(HWND control) {
  const RECT r = WindowRect(control);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const std::unique_ptr<HDC__, void (*)(HDC)> screen(GetDC(nullptr), [](HDC dc) { ReleaseDC(nullptr, dc); });
  const std::unique_ptr<HDC__, BOOL(WINAPI*)(HDC)> memory(CreateCompatibleDC(screen.get()), &DeleteDC);
  const std::unique_ptr<HBITMAP__, BOOL(WINAPI*)(HGDIOBJ)> bitmap(CreateCompatibleBitmap(screen.get(), width, height),
                                                                  &DeleteObject);
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
  const COLORREF background = GetPixel(memory.get(), 0, 0);
  int first = -1, last = -1;
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      if (GetPixel(memory.get(), x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  SelectObject(memory.get(), old);
  return first < 0 ? 0 : last - first + 1;
}

TEST_P(ScaledWindowsTest, BothWindowsAreLaidOutAtTheSystemDpi) {
  MainWindow main = Start();
  ASSERT_TRUE(main.window);
  ExpectClientSizeAndCentred(main.window, ui::ScalePixels(503, Dpi()), ui::ScalePixels(527, Dpi()));
  ExpectLaidOut(main.window, "ui/option.layout", Dpi());
  auto itemHeight = Ask(main.saveMethod, CB_GETITEMHEIGHT, 0);
  EXPECT_EQ(itemHeight, ui::ScalePixels(15, Dpi())) << "the list's rows";

  SubWindow sub = OpenSub(main);
  ASSERT_TRUE(sub.window);
  ExpectLaidOut(sub.window, "ui/sub.layout", Dpi());
  ClickAndSettle(sub.cancel);
  ClickToExit(main.cancel);
}

// The title and a Japanese label, drawn at 96 dpi and then at the test's: the ink is wider by
// the scale, give or take a tenth (glyphs are hinted to whole pixels at each size).
class LargerTextTest : public ScaledFrontTest {};

TEST_P(LargerTextTest, TextIsDrawnLargerByTheScale) {
  if (!CanSetSystemDpi()) GTEST_SKIP() << "draws at 96 dpi and at " << Dpi() << " dpi: two display scales";
  const auto measure = [&](int dpi) {
    UseSystemDpi(dpi);
    MainWindow main = Start();
    std::vector<int> widths;
    if (!main.window) return widths;
    std::this_thread::sleep_for(300ms);  // let it paint
    for (HWND label : {FindControl(main.window, L"Static", L"VINTREL turnways"), main.registLabels.front()})
      widths.push_back(InkWidth(label));
    ClickToExit(main.cancel);
    return widths;
  };
  const std::vector<int> base = measure(ui::kLayoutDpi);
  const std::vector<int> scaled = measure(Dpi());
  ASSERT_EQ(base.size(), 2u);
  ASSERT_EQ(scaled.size(), 2u);
  for (std::size_t i = 0; i < base.size(); ++i) {
    SCOPED_TRACE(i == 0 ? "Lbl_Title" : "Lbl_Regist1");
    ASSERT_GT(base[i], 0) << "nothing drawn at 96 dpi";
    const double ratio = static_cast<double>(scaled[i]) / base[i];
    const double expected = static_cast<double>(Dpi()) / ui::kLayoutDpi;
    EXPECT_NEAR(ratio, expected, expected / 10) << base[i] << " px at 96 dpi, " << scaled[i] << " px at " << Dpi();
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledWindowsTest, kDpis, DpiName);
INSTANTIATE_TEST_SUITE_P(Dpi, LargerTextTest, ::testing::Values(120, 144, 192), DpiName);

}  // namespace
}  // namespace e2e
