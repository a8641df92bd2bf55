// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walk to a PGF file's user data, with the input's
// last bytes as the stale user data to find.
#include "engine/carry/PgfUserData.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const size_t staleSize = std::min<size_t>(size, 16);
    const QByteArray stale(reinterpret_cast<const char *>(data) + size - staleSize, qsizetype(staleSize));
    engine::bridge::withoutStalePgfUserData(data, long(size), stale);
    return 0;
}
