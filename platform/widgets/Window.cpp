#include "platform/widgets/Window.h"

#include <QWidget>

namespace platform::Window {

void activate(QWidget *window)
{
    if (!window)
        return;
    window = window->window();
    window->show();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

void setTitleButtons(QWidget *window, bool minimise, bool maximise)
{
    if (!window || !window->isWindow())
        return;
    Qt::WindowFlags flags = window->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags.setFlag(Qt::WindowMinimizeButtonHint, minimise);
    flags.setFlag(Qt::WindowMaximizeButtonHint, maximise);
    if (flags == window->windowFlags())
        return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlags(flags);
    if (wasVisible)
        window->show();
}

namespace {

// Without the customising hint the window keeps the standard buttons.
bool hasButton(const QWidget *window, Qt::WindowType hint)
{
    if (!window || !window->isWindow())
        return false;
    const Qt::WindowFlags flags = window->windowFlags();
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(hint);
}

} // namespace

bool hasMinimiseButton(const QWidget *window)
{
    return hasButton(window, Qt::WindowMinimizeButtonHint);
}

bool hasMaximiseButton(const QWidget *window)
{
    return hasButton(window, Qt::WindowMaximizeButtonHint);
}

} // namespace platform::Window
