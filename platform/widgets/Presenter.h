// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace platform {

// Shows screens over others without blocking: as a sheet on a window, as a
// dimmed overlay inside a window, or as an application-modal window. The
// caller decides when to dismiss. Screens keep living after dismissal
// (shared screens are owned elsewhere). GUI thread only.
class Presenter
{
public:
    // The backdrop of an overlay; an earlier one is removed first.
    static const QString OverlayName;

    enum class Event { Sheet, Overlay, ModalWindow, Dismissed };
    // Tests note presentations instead of showing anything.
    using Recorder = std::function<void(Event, QWidget *content)>;
    static Recorder setRecorder(Recorder recorder);

    // A window-modal dialog on host's window holding content: framed,
    // titled with content's window title (else the application's name),
    // centred on the window. Escape and the window manager cannot close it.
    static void presentAsSheet(QWidget *host, QWidget *content);
    // A 60 % black backdrop filling host, content centred on it. Returns
    // the backdrop (nullptr while a recorder is installed).
    static QWidget *presentAsOverlay(QWidget *host, QWidget *content);
    // Content as its own application-modal window above presenter's window;
    // presenting it again shows the same window.
    static void presentAsModalWindow(QWidget *presenter, QWidget *content);

    static void dismiss(QWidget *content);
    static bool isPresented(QWidget *content);
};

} // namespace platform
