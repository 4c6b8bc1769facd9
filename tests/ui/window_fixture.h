// Builds the program's two windows (hidden) on an in-memory registry, with a host that records
// what the application object would show or do instead of showing it. The test process
// declares its DPI awareness as the program does, once, before its first window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/dpi_awareness.h"
#include "tests/support/memory_registry_store.h"
#include "ui/option.h"
#include "ui/sub.h"

namespace ui_testing {

class RecordingHost final : public ui::Host {
public:
  RecordingHost() {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  ~RecordingHost() override { DestroyWindow(owner_); }
  HWND Owner() const override { return owner_; }
  HICON Icon() const override { return nullptr; }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void Minimize() override { ++minimized; }
  void MainFormClosed() override { ++closed; }

  std::vector<std::string> errors;
  int minimized = 0;
  int closed = 0;

private:
  HWND owner_;
};

class WindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Awareness();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
  }
  void TearDown() override {
    ui::Fm_Sub = nullptr;
    ui::Fm_main = nullptr;
    sub.reset();
    main.reset();
  }
  // Builds both windows in the program's order: the main window (which loads), then the dialog.
  void Build() {
    main = std::make_unique<ui::TFm_main>(host, store);
    ui::Fm_main = main.get();
    sub = std::make_unique<ui::TFm_Sub>(host);
    ui::Fm_Sub = sub.get();
  }
  static app::DpiAwareness Awareness() {
    static const app::DpiAwareness declared = app::DeclareDpiAwareness();
    return declared;
  }
  HWND Main(const char* name) const { return main->Control(name); }
  HWND Sub(const char* name) const { return sub->Control(name); }

  RecordingHost host;
  testing_support::MemoryRegistryStore store;
  std::unique_ptr<ui::TFm_main> main;
  std::unique_ptr<ui::TFm_Sub> sub;
};

}  // namespace ui_testing
