// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace platform {

// Top-level windows.
namespace Window {

// Shows the window, restores it when minimised, raises it and asks for the
// keyboard focus. Window managers may refuse the focus: best effort.
void activate(QWidget *window);

// Shows or hides the minimise and maximise buttons of a top-level window's
// title bar; the close button stays. The window keeps its place and stays
// shown. Window managers may ignore the hints: best effort.
void setTitleButtons(QWidget *window, bool minimise, bool maximise);
bool hasMinimiseButton(const QWidget *window);
bool hasMaximiseButton(const QWidget *window);

// Places window over host's window, as desktops place a window's dialogs:
// at the size it is about to show with (its layout's, unless it was given
// one), its centre on the centre of host's window, and within the screen
// as fitOnScreen() brings it.
void centreOver(QWidget *window, const QWidget *host);

// Brings a top-level window that does not fit the available area of the
// screen it opens on within that area, as window managers place windows:
// no larger than the area (nor smaller than the window's least size), its
// frame's corner where its title bar and menus can be reached. A saved
// size and place may come from another screen or another display scale.
// A frame not yet known counts as those of the windows shown already, or as
// a title bar and a border. A window whose least size is larger than the
// area keeps that size, from the area's corner.
void fitOnScreen(QWidget *window);

// Fixes the size of widget's window at its current size (off), or gives it
// back the size limits it had before (on): a minimum that came from the
// window's layout follows the layout again, so text that grew meanwhile is
// not cut. Switching it off twice keeps the first limits.
void setResizable(QWidget *widget, bool on);
bool isResizable(QWidget *widget);

} // namespace Window
} // namespace platform
