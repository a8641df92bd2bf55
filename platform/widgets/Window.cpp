// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Window.h"

#include <QLayout>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace platform::Window {

namespace {

// Where a window keeps the limits it had before its size was fixed.
constexpr char FreeMinimum[] = "calvorn_freeMinimumSize";
// Whether that minimum was the layout's rather than one set by hand.
constexpr char LayoutMinimum[] = "calvorn_layoutMinimumSize";
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
    // A window that has its native window keeps it: setWindowFlags() would
    // make a new one, which the window manager places by its frame's corner
    // where the old one had its client area, a title bar's height higher.
    if (QWindow *native = window->windowHandle()) {
        window->overrideWindowFlags(flags);
        native->setFlags(flags);
        return;
    }
    window->setWindowFlags(flags);
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

void centreOver(QWidget *window, const QWidget *host)
{
    window->move(host->window()->geometry().center() - window->rect().center());
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
        const bool layoutMinimum = window->property(LayoutMinimum).toBool();
        window->setProperty(FreeMinimum, QVariant());
        window->setProperty(FreeMaximum, QVariant());
        window->setProperty(LayoutMinimum, QVariant());
        window->setMaximumSize(maximum);
        if (!layoutMinimum) {
            window->setMinimumSize(minimum);
            return;
        }
        // A minimum of (0, 0) is no minimum set by hand: the layout's own,
        // which follows what the window shows now, applies again.
        window->setMinimumSize(0, 0);
        window->layout()->invalidate();
        window->layout()->activate();
        return;
    }
    if (!isResizable(window))
        return;
    QLayout *layout = window->layout();
    if (layout)
        layout->activate();
    window->setProperty(LayoutMinimum,
        layout && layout->sizeConstraint() == QLayout::SetDefaultConstraint
            && window->minimumSize() == layout->totalMinimumSize());
    window->setProperty(FreeMinimum, window->minimumSize());
    window->setProperty(FreeMaximum, window->maximumSize());
    window->setFixedSize(window->size());
}

bool isResizable(QWidget *widget)
{
    return widget && !widget->window()->property(FreeMinimum).isValid();
}

} // namespace platform::Window
