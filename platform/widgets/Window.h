#pragma once

class QWidget;

namespace platform {

// Top-level windows.
namespace Window {

// Shows the window, restores it when minimised, raises it and asks for the
// keyboard focus. Window managers may refuse the focus: best effort.
void activate(QWidget *window);

} // namespace Window
} // namespace platform
