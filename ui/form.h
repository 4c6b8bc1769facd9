// The window base: a top-level window built from a layout resource, its controls real children
// of the window, its event entries bound by name to the handlers of the window class.
//
// - Building throws when the layout names a handler the class does not have, or is faulty.
// - The window's `Create` handler runs at the end of the construction, before anything is shown;
//   an exception from it, or from any handler run while a message is dispatched, is shown in
//   the host's error box and the window goes on as if the handler had returned.
// - A change that the program makes inside a QuietScope reports no Change event.
// - Disabled labels are drawn embossed; focus is restored to the last focused control, or the
//   first in tab order, whenever the window is activated.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/layout.h"
#include "ui/win.h"

namespace ui {

// What the windows need of the application object.
class Host {
public:
  virtual ~Host() = default;
  virtual HWND Owner() const = 0;  // owns every form
  virtual HICON Icon() const = 0;  // for forms without an icon of their own
  virtual void ShowError(const std::string& message) = 0;  // message as the exception gave it
  virtual void Minimize() = 0;
  virtual void MainFormClosed() = 0;
};

// Shows the exception being handled (call inside a catch block only).
void ShowCurrentException(Host& host) noexcept;

// One message of the run loop or a modal loop: dialog keyboard navigation for the program's
// windows, except that Enter clicks the focused push button only and Escape does nothing.
void ProcessMessage(MSG& msg);

class Form {
public:
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND Handle() const { return window_.get(); }
  const FormSpec& Definition() const { return def_; }
  HWND Control(std::string_view name) const;  // throws for an unknown name
  // The handler bound to a control's (or the window's, name "") event; empty when none.
  std::string BoundHandler(std::string_view control, std::string_view event) const;

  void Close() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }
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

  // Creates the window (hidden) and its controls, binds the handlers and runs `Create`. Called
  // by the window class at the end of its constructor.
  void Build();
  // Where the window and each control are created: the window centred on the screen, the
  // controls at their final size.
  Rect FrameRect() const;
  Rect ControlRect(const PlacedControl& placed, HDC measure);
  void CenterOnScreen();
  void ClickFocusedButton(HWND focus);

  virtual std::optional<std::size_t> FindHandler(std::string_view name) const = 0;
  virtual void CallHandler(std::size_t index, HWND sender) = 0;
  virtual const char* HandlerName(std::size_t index) const = 0;
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void OnClose() = 0;

  Host& host_;

private:
  friend void ProcessMessage(MSG& msg);
  struct Binding {
    std::size_t control;  // index into placed_; npos for the window
    std::string event;
    std::size_t handler;
  };

  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RegisterClass(HICON icon) const;
  HFONT Font(const FontSpec& def);
  void CreateControl(const PlacedControl& placed, HDC measure);
  void Fire(std::size_t control, std::string_view event, HWND sender);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void DrawLabel(const DRAWITEMSTRUCT& item) const;
  void MeasureItem(MEASUREITEMSTRUCT& item) const;
  void DrawComboItem(const DRAWITEMSTRUCT& item) const;

  FormSpec def_;
  std::vector<PlacedControl> placed_;
  std::vector<HWND> controls_;  // as placed_
  std::vector<Binding> bindings_;
  std::vector<std::pair<FontSpec, FontHandle>> fonts_;
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
  const char* HandlerName(std::size_t index) const override { return T::Handlers()[index].name; }
  void CallHandler(std::size_t index, HWND sender) override {
    (static_cast<T*>(this)->*T::Handlers()[index].method)(sender);
  }
};

}  // namespace ui
