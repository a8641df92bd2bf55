#include "platform/widgets/Window.h"

#include <QVariant>
#include <QWidget>

namespace platform::Window {

namespace {

// Where a window keeps the limits it had before its size was fixed.
constexpr char FreeMinimum[] = "calvorn_freeMinimumSize";
constexpr char FreeMaximum[] = "calvorn_freeMaximumSize";

} // namespace

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

void setResizable(QWidget *widget, bool on)
{
    if (!widget)
        return;
    QWidget *window = widget->window();
    if (on) {
        if (isResizable(window))
            return;
        const QSize minimum = window->property(FreeMinimum).toSize();
        const QSize maximum = window->property(FreeMaximum).toSize();
        window->setProperty(FreeMinimum, QVariant());
        window->setProperty(FreeMaximum, QVariant());
        window->setMinimumSize(minimum);
        window->setMaximumSize(maximum);
        return;
    }
    if (!isResizable(window))
        return;
    window->setProperty(FreeMinimum, window->minimumSize());
    window->setProperty(FreeMaximum, window->maximumSize());
    window->setFixedSize(window->size());
}

bool isResizable(QWidget *widget)
{
    return widget && !widget->window()->property(FreeMinimum).isValid();
}

} // namespace platform::Window
