#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// What the desktop does for us: open addresses, start programs, find
// installed applications by their desktop entry.
namespace Workspace {

// Opens a web page, a file or an "appstream://" store address through the
// desktop; false when nothing handles it.
bool openUrl(const QUrl &url);
// The software centre's page of an application.
QUrl storeUrl(const QString &applicationId);

// Starts a program detached from us, in the user's home folder; false
// (and a line on standard error) when it cannot start.
bool launch(const QString &programPath);

// True when a desktop entry "<id>.desktop" exists in the XDG applications
// folders. Folders that cannot be listed are reported on standard output.
bool isInstalled(const QString &applicationId);

} // namespace Workspace
} // namespace platform
