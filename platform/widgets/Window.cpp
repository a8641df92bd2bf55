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

} // namespace platform::Window
