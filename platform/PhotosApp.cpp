// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PhotosApp.h"

#include <atomic>

namespace platform::PhotosApp {

namespace {
std::atomic<Fake *> fakeApp { nullptr };
}

bool isRunning()
{
    Fake *fake = fakeApp.load();
    return fake && fake->running;
}

void terminate()
{
    if (Fake *fake = fakeApp.load()) {
        ++fake->terminateRequests;
        fake->running = false;
    }
}

void setFake(Fake *fake)
{
    fakeApp.store(fake);
}

} // namespace platform::PhotosApp
