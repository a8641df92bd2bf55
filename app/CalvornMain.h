// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Calvorn's whole run, from its arguments to its exit status: start-up,
// the event loop and an orderly end (AppDelegate::applicationWillTerminate)
// before the exit handlers run. launched, when given, runs on the GUI thread
// once the event loop has started; tests act inside a real run through it.
int runCalvorn(int argc, char *argv[], std::function<void()> launched = {});
