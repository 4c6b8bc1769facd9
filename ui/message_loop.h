// The program's message handling outside the windows: one message of the run loop or a modal
// loop, and the error box for an exception that leaves a handler.
#pragma once

#include <windows.h>

#include "ui/host.h"

namespace ui {

// Shows the exception being handled in the host's error box (call inside a catch block only):
// the message of a base::Exception or std::exception, else "Unknown error". Never throws.
void ShowCurrentException(Host& host) noexcept;

// One message of the run loop or a modal loop: dialog keyboard navigation for the program's
// windows, except that Enter clicks the focused push button only and Escape does nothing.
void ProcessMessage(MSG& msg);

}  // namespace ui
