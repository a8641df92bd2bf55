// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace platform {

// The desktop's short warning sound, for input that is refused. GUI thread.
void beep();

// Tests count beeps instead of sounding them; returns the previous hook, and
// an empty hook sounds real beeps again.
using BeepHook = std::function<void()>;
BeepHook setBeepHook(BeepHook hook);

} // namespace platform
