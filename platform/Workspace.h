// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace platform {

// What the desktop does for us: open addresses, start programs, find
// installed applications by their desktop entry.
namespace Workspace {

// Opens a web page, a file or an "appstream:" store address through the
// desktop; false when nothing handles it.
bool openUrl(const QUrl &url);
// Whether a program on this desktop handles the address: web pages, mail
// and files always; another scheme only where an installed desktop entry
// lists "x-scheme-handler/<scheme>" among its types (a software centre
// for "appstream:").
bool canOpen(const QUrl &url);
// Shows files and folders in the desktop's file manager: a folder opens,
// a file is shown selected in its folder. Asks the file manager on the
// session bus; where none is there, opens each folder (a file's containing
// folder) through the desktop instead. False when neither way works.
bool reveal(const QStringList &paths);
// Opens the file manager's properties window of the file; where none
// answers, opens its folder. False when neither works.
bool showProperties(const QString &path);
// The file manager service both use.
inline const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");

// The software centre's page of an application: "appstream:" and the id,
// which keeps its case (after "appstream://" it would be a host name).
QUrl storeUrl(const QString &applicationId);

// Starts a program detached from us, in the user's home folder; false
// (and a line on standard error) when it cannot start.
bool launch(const QString &programPath);

// True when a desktop entry "<id>.desktop" exists in the XDG applications
// folders. Folders that cannot be listed are reported on standard output.
bool isInstalled(const QString &applicationId);

} // namespace Workspace
} // namespace platform
