// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileInfoEvents.h"

FileInfoEvents &FileInfoEvents::shared()
{
    static FileInfoEvents events;
    return events;
}
