// Form: the layout's events bound to the class's handlers, and dispatched (ui/form.h).
#include "ui/form.h"

#include <algorithm>
#include <utility>

namespace ui {

void Form::Bind() {
  // The window's events, then each control's.
  std::vector<std::pair<std::size_t, const std::vector<EventSpec>*>> sources{{kWindow, &def_.events}};
  for (std::size_t i = 0; i < placed_.size(); ++i) sources.emplace_back(i, &placed_[i].def->events);
  for (const auto& [control, events] : sources) {
    for (const EventSpec& e : *events) {
      const auto handler = FindHandler(e.handler);
      if (!handler) throw LayoutError(def_.className + ": unknown handler " + e.handler);
      bindings_.push_back({control, e.event, *handler});
    }
  }
}

void Form::RunCreate() {
  for (const Binding& b : bindings_) {
    if (b.control != kWindow || b.event != Event::Create) continue;
    try {
      CallHandler(b.handler, Handle());
    } catch (...) {
      ShowCurrentException(host_);
    }
  }
}

void Form::Fire(std::size_t control, Event event, HWND sender) {
  for (const Binding& b : bindings_)
    if (b.control == control && b.event == event) CallHandler(b.handler, sender);
}

void Form::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND sender = reinterpret_cast<HWND>(lParam);
  if (!sender) return;
  const auto it = std::find(controls_.begin(), controls_.end(), sender);
  if (it == controls_.end()) return;
  const auto index = static_cast<std::size_t>(it - controls_.begin());
  const UINT code = HIWORD(wParam);
  switch (placed_[index].def->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) Fire(index, Event::Click, sender);
      break;
    case ControlKind::HotKey:
      if (code == EN_CHANGE && quiet_ == 0) Fire(index, Event::Change, sender);
      break;
    default: break;
  }
}

}  // namespace ui
