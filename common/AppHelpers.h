// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Small application-wide helpers the screens share.

// Runs fn on the GUI thread after the given seconds, from any thread,
// without blocking the caller.
void delay(double seconds, std::function<void()> fn);

// Whether the other system's photo application is running (it never does
// here), and asking an application to quit by name: only that photo
// application is known; any other name does nothing.
inline const QString PhotosAppName = QStringLiteral("Photos");
bool isPhotosAppRunning();
void terminateApplication(const QString &name);

// Shows content over host on a 60 % black backdrop, removing an earlier
// backdrop first; returns the backdrop.
QWidget *makeOverlayWindow(QWidget *host, QWidget *content);

// Makes subview fill container, edge to edge. The subview becomes the
// container's child.
void pinSubview(QWidget *container, QWidget *subview);

// The icon the desktop shows for the file; none for an empty path.
std::optional<QIcon> fileIcon(const QString &path);

// The absolute paths below path, for the scanner: nothing when nothing is
// there, the path itself for a file, and for a folder every visible entry at
// every depth (folders included, photo library packages not entered,
// symbolic links not followed) in walk order. A photo library's own photo
// folder is left to the library reader when the walk enters the library
// from outside it; a folder inside a library, given itself, is walked as
// any other. Entries whose names are not valid UTF-8 are passed over and
// their paths' bytes added to *undecodable when given. Waits while the scan
// is paused and returns what it has when the scan is stopped. Absent when
// the folder cannot be listed.
std::optional<QStringList> collectFiles(const QString &path, QList<QByteArray> *undecodable = nullptr);
