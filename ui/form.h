// The window base: a top-level window built from a layout resource, its controls real children
// of the window, its event entries bound by name to the handlers of the window class.
//
// - Building throws when the layout names a handler the class does not have, or is faulty.
// - After its controls are created the window class resolves the ones it works with
//   (ResolveControls); a control the layout lacks fails the building there.
// - The window's `Create` handler runs at the end of the construction, before anything is shown;
//   an exception from it, or from any handler run while a message is dispatched, is shown in
//   the host's error box and the window goes on as if the handler had returned.
// - A change that the program makes inside a QuietScope reports no Change event.
// - Disabled labels are drawn embossed; focus is restored to the last focused control, or the
//   first in tab order, whenever the window is activated.
// - The window is laid out at its dpi (ui/scale.h) and laid out anew, with new fonts, when it
//   moves to a monitor of another dpi (WM_DPICHANGED); the fonts of the old dpi are deleted.
//
// form.cpp: construction, the window procedure and focus; form_events.cpp: binding and
// dispatch of the layout's events.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/font_cache.h"
#include "ui/host.h"
#include "ui/layout.h"
#include "ui/message_loop.h"
#include "ui/scale.h"
#include "ui/win.h"

namespace ui {

class Form {
public:
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND Handle() const { return window_.get(); }
  HWND Control(std::string_view name) const;  // throws for an unknown name

  void Close() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }
  // Enter: clicks `focus` when it is an enabled push button of this window.
  void ClickFocusedButton(HWND focus);
  static Form* FromHandle(HWND hwnd);

  class QuietScope {
  public:
    explicit QuietScope(Form& form) : form_(form) { ++form_.quiet_; }
    ~QuietScope() { --form_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

  private:
    Form& form_;
  };

protected:
  Form(Host& host, std::string_view layoutText);

  // Creates the window (hidden, centred on the screen) and its controls, binds the handlers,
  // resolves the controls and runs `Create`. Called by the window class at the end of its
  // constructor.
  void Build();
  // The window's rectangle on the screen, frame included, centred as it is created.
  Rect FrameRect(int dpi) const;
  void CenterOnScreen();

  // Looks up the controls the class works with (Control) into its own members.
  virtual void ResolveControls() {}
  virtual std::optional<std::size_t> FindHandler(std::string_view name) const = 0;
  virtual void CallHandler(std::size_t index, HWND sender) = 0;
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void OnClose() = 0;

  Host& host_;

private:
  struct Binding {
    std::size_t control;  // index into placed_; kWindow for the window
    Event event;
    std::size_t handler;
  };
  static constexpr std::size_t kWindow = static_cast<std::size_t>(-1);

  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RegisterClass(HICON icon) const;  // the class carries the window's icon
  void CreateWindowAndControls();
  RECT Frame(int dpi) const;  // the outer rectangle at that dpi
  // Makes the client area the layout's at the window's dpi, the top-left corner kept.
  bool FitClientArea();  // true when it had to resize
  // Lays the controls out at `dpi` with fonts made for it; the old fonts go.
  void ApplyDpi(int dpi);
  void OnDpiChanged(WPARAM wParam, const RECT& suggested);
  void Bind();
  void RunCreate();
  void Fire(std::size_t control, Event event, HWND sender);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);

  FormSpec def_;
  std::vector<PlacedControl> placed_;
  ScaledForm scaled_;           // placed_ at the window's dpi, in the same order
  std::vector<HWND> controls_;  // as placed_
  std::vector<Binding> bindings_;
  FontCache fonts_;
  WindowHandle window_;
  HWND lastFocus_ = nullptr;
  HFONT font_ = nullptr;  // the window's default font, one of fonts_
  int quiet_ = 0;
};

// The handler table of a window class T: `static std::span<const Handler> Handlers()`, names as
// in the layouts, bound once when the window is built.
template <class T>
class FormOf : public Form {
protected:
  using Form::Form;
  struct Handler {
    const char* name;
    void (T::*method)(HWND sender);
  };

  std::optional<std::size_t> FindHandler(std::string_view name) const override {
    const std::span<const Handler> handlers = T::Handlers();
    for (std::size_t i = 0; i < handlers.size(); ++i)
      if (name == handlers[i].name) return i;
    return std::nullopt;
  }
  void CallHandler(std::size_t index, HWND sender) override {
    (static_cast<T*>(this)->*T::Handlers()[index].method)(sender);
  }
};

}  // namespace ui
