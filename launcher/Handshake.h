// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What Calvorn and Calvorn_Helper agree on. Nothing else passes between
// them: both identifiers (CALVORN_APP_ID, CALVORN_HELPER_ID) come from the
// build, and the two programs are installed side by side as
// <prefix>/bin/Calvorn and <prefix>/libexec/calvorn/Calvorn_Helper.
namespace launcher {

// Sent by Calvorn, with its own id as object, once it has started; a
// waiting helper quits on it.
inline constexpr char KillNotification[] = "killLauncherLOW";

// Calvorn's program, found from the folder holding the helper's program.
QString mainProgramFrom(const QString &helperFolder);
// The helper's program, found from the folder holding Calvorn's program.
QString helperProgramFrom(const QString &mainFolder);

} // namespace launcher
