// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Globals.h"

#include <QObject>

#include <functional>

// Runs then on the GUI thread once every record of files that stands for a
// file has its details (metadata and creation date): at once when they all
// have them, else just after the last one arrived, once the other screens
// have taken it in. Nothing runs when context goes first. Every queued details job ends by delivering its
// record, so the wait always ends.
void whenDetailsArrived(const FileInfoList &files, QObject *context, std::function<void()> then);
