// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {
class ScreenRegistry;
}

// Registers every screen of the application, and ties the pages that ask
// for another page to the main window's container. The program and its
// tests call it, so a test sees the screens a user sees.
void registerScreens(platform::ScreenRegistry &screens);
