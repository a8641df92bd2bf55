// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Window.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>

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

namespace {

// The frame the window manager gives window: its own once known, else that
// of a window it shows already (a program's windows get alike frames), else
// a title bar and a border.
QMargins frameOf(const QWidget *window)
{
    const auto known = [](const QWidget *widget) {
        const QWindow *native = widget->windowHandle();
        return native ? native->frameMargins() : QMargins();
    };
    if (const QMargins own = known(window); !own.isNull())
        return own;
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible())
            continue;
        if (const QMargins shown = known(other); !shown.isNull())
            return shown;
    }
    const QStyle *style = window->style();
    const int border = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
    return { border, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), border, border };
}

} // namespace

void centreOver(QWidget *window, const QWidget *host)
{
    // The size a first show would give it, rather than a default one: its
    // layout's, no less than the least size the layout sets once active.
    if (QLayout *layout = window->layout())
        layout->activate();
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    // A window is moved by its frame's corner.
    const QMargins frame = frameOf(window);
    window->move(
        host->window()->geometry().center() - window->rect().center() - QPoint(frame.left(), frame.top()));
    fitOnScreen(window);
}

void fitOnScreen(QWidget *window)
{
    if (!window || !window->isWindow())
        return;
    const QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QSize size = window->size().boundedTo((available - frame).size()).expandedTo(window->minimumSize());
    // The frame's corner, within the area as far as the frame's size allows
    // and never above or left of it.
    const QSize outside = (QRect(QPoint(), size) + frame).size();
    const QPoint corner = window->pos();
    const int x = std::max(available.left(), std::min(corner.x(), available.right() + 1 - outside.width()));
    const int y = std::max(available.top(), std::min(corner.y(), available.bottom() + 1 - outside.height()));
    if (QPoint(x, y) == corner && size == window->size())
        return;
    // Placed by its client area: a window made but not yet shown moves by
    // a frame Qt does not know yet.
    window->setGeometry(QRect(QPoint(x + frame.left(), y + frame.top()), size));
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
