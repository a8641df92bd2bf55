// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {
class ScreenRegistry;
}

// Registers the batch's screens (the progress sheet, the rename, clean
// options and result screens) under their names, so that the main window's
// container shows the real result page. The application calls it at
// start-up, before any page is shown; a screen already registered (a
// test's stand-in) stays.
void registerBatchScreens(platform::ScreenRegistry &screens);
