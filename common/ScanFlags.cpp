// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ScanFlags.h"

ScanFlags &ScanFlags::shared()
{
    static ScanFlags flags;
    return flags;
}

bool ScanFlags::waitWhileAskingToQuitPhotos() const
{
    waitUntil([this] { return !m_askingToQuitPhotos.load() || isStopped(); });
    return !isStopped();
}
