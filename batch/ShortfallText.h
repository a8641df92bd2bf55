// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataOperation.h"

#include <QStringList>

// What a photo did not get, as the result screen tells it: one line per
// kind and reason, naming the values as the editing form does and the
// groups of a clear as its boxes do ("Copyright Notice and Headline not
// written: WebP files have no place for IPTC values").
QStringList shortfallLines(const Shortfalls &shortfalls);
