// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

class QHBoxLayout;
class QLabel;
class QWidget;

namespace platform {

// The desktop theme's icon of a freedesktop name ("document-open"); where
// the theme has none, the copy bundled with Calvorn, so buttons look the
// same on any desktop and in tests. Null for a name neither knows.
QIcon themeIcon(const QString &name);

// A row of the theme icon name at side pixels and then label, which keeps
// the rest of the row; for headings and captions that name an action.
QHBoxLayout *withIcon(const QString &name, int side, QLabel *label);

// Calvorn's own icon, the theme's where Calvorn is installed, else the
// bundled one.
QIcon applicationIcon();

// The bundled icon of an application Calvorn recommends, by its desktop
// entry id; null when none is bundled.
QIcon bundledApplicationIcon(const QString &applicationId);

} // namespace platform
