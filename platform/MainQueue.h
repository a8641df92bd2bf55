// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace platform {

// Work handed to the GUI thread.
namespace MainQueue {

// Runs fn on the GUI thread, in posting order, never awaited. Callable
// from any thread. With a context, fn is dropped if the context is gone.
void post(std::function<void()> fn);
void post(QObject *context, std::function<void()> fn);

// Runs fn on the GUI thread no earlier than ms from now, unless the
// context dies first. Goes through the Clock seam.
void after(int ms, QObject *context, std::function<void()> fn);

bool isGuiThread();

} // namespace MainQueue
} // namespace platform
