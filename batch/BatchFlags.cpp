// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/BatchFlags.h"

BatchFlags &BatchFlags::shared()
{
    static BatchFlags flags;
    return flags;
}
