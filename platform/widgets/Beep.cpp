// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Beep.h"

#include <QApplication>

namespace platform {

namespace {
BeepHook &hook()
{
    static BeepHook h;
    return h;
}
} // namespace

void beep()
{
    if (hook())
        hook()();
    else
        QApplication::beep();
}

BeepHook setBeepHook(BeepHook h)
{
    BeepHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

} // namespace platform
