// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Starting a helper program when the user logs in, through an XDG
// autostart entry "<helperId>.desktop" in the user's autostart folder.
// Desktops that honour XDG autostart run it; others ignore it.
namespace LoginItem {

QString entryPath(const QString &helperId);

// On writes the entry (atomically, replacing an older one) to start
// helperProgram, an absolute path; off removes it, and an entry already
// gone counts as success. On failure returns false, prints why on standard
// error and, when whyNot is given, puts the reason there.
bool setEnabled(const QString &helperId, bool on, const QString &helperProgram, QString *whyNot = nullptr);

// The Exec value that runs program with no arguments: quoted as one
// argument, then escaped as a desktop entry string.
QString execValue(const QString &program);

} // namespace LoginItem
} // namespace platform
