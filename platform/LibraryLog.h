// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QString>

namespace platform::LibraryLog {

// Where the libraries' own complaints about odd files go: "calvorn.libraries",
// silent unless turned on (QT_LOGGING_RULES="calvorn.libraries=true").
// Odd files are common among photographs and each decoder has something to
// say about them; the console keeps Calvorn's own lines.
const QLoggingCategory &category();

// One message of a library, named by it.
void warning(const char *library, const QString &text);

// Sends Exiv2's log, libtiff's warnings and errors, and Qt's image readers'
// messages ("qt.gui.imageio*", "qt.imageformats*") through the category.
// Once, on the GUI thread, before any picture is decoded.
void install();

} // namespace platform::LibraryLog
