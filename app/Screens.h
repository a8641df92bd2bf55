#pragma once

namespace platform {
class ScreenRegistry;
}

// Registers the application's screens, and ties the pages that ask for
// another page to the main window's container.
void registerScreens(platform::ScreenRegistry &screens);
