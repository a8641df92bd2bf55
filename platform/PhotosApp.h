// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// The other desktop system's photo application, which a scan must not race
// with while it has its library open. It never runs here: the answers are
// "not running" and "nothing to quit". Tests install a fake to drive the
// code paths that ask it to quit.
namespace PhotosApp {

bool isRunning();
// Asks a running copy to quit; returns at once.
void terminate();

struct Fake
{
    bool running = false;
    int terminateRequests = 0;
};
// Answers from the fake while it lives; nullptr goes back to the real
// answers. The caller keeps the fake alive.
void setFake(Fake *fake);

} // namespace PhotosApp
} // namespace platform
