// SPDX-License-Identifier: GPL-3.0-or-later
// Calvorn's real start, which says where its main window stands once it is
// shown, and the available area of the screen it is on, then quits, keeping
// the window's geometry for the next start as a quit does. One line each:
// "frame x y width height", "available x y width height".

#include "app/CalvornMain.h"
#include "app/InitialWindowController.h"

#include <QCoreApplication>
#include <QRect>
#include <QScreen>
#include <QTextStream>

namespace {

void print(QTextStream &out, const char *name, const QRect &rect)
{
    out << name << ' ' << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' ' << rect.height() << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    return runCalvorn(argc, argv, [] {
        const InitialWindowController *window = InitialWindowController::shared();
        QTextStream out(stdout);
        print(out, "frame", window->frameGeometry());
        print(out, "available", window->screen()->availableGeometry());
        out.flush();
        QCoreApplication::quit();
    });
}
