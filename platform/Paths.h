// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Calvorn's standard folders (XDG), made on demand.
namespace Paths {

// "$XDG_CACHE_HOME/Calvorn" (created when missing).
QString cacheFolder();
// The user's Pictures folder, or home when there is none; never created.
QString picturesFolder();
QString homeFolder();

} // namespace Paths
} // namespace platform
