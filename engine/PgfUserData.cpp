// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PgfUserData.h"

#include <exiv2/pgfimage.hpp>

namespace engine::bridge {

namespace {

constexpr long preHeader = 8; // signature, version, header size
constexpr long header = 16;
constexpr long colourTable = 256 * 3;
constexpr Exiv2::byte indexedMode = 2;

long headerSize(const Exiv2::byte *data)
{
    return long(data[4]) | long(data[5]) << 8 | long(data[6]) << 16 | long(data[7]) << 24;
}

// Where the user data starts: after the header and an indexed image's colours.
long userDataStart(const Exiv2::byte *data)
{
    return preHeader + header + (data[preHeader + 12] == indexedMode ? colourTable : 0);
}

} // namespace

QByteArray pgfUserData(const Exiv2::Image &image)
{
    if (image.imageType() != Exiv2::ImageType::pgf)
        return QByteArray();
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return QByteArray();
    Exiv2::IoCloser closer(io);
    const long size = static_cast<long>(io.size());
    const Exiv2::byte *data = io.mmap();
    QByteArray userData;
    if (size >= preHeader + header) {
        const long start = userDataStart(data);
        const long end = preHeader + headerSize(data);
        if (start < end && end <= size)
            userData = QByteArray(reinterpret_cast<const char *>(data) + start, end - start);
    }
    io.munmap();
    return userData;
}

QByteArray withoutStalePgfUserData(const Exiv2::byte *data, long size, const QByteArray &stale)
{
    if (stale.isEmpty() || size < preHeader + header)
        return QByteArray();
    const long at = preHeader + headerSize(data);
    if (at < 0 || at + stale.size() > size
        || QByteArray::fromRawData(reinterpret_cast<const char *>(data) + at, stale.size()) != stale)
        return QByteArray();
    QByteArray repaired(reinterpret_cast<const char *>(data), at);
    repaired.append(reinterpret_cast<const char *>(data) + at + stale.size(), size - at - stale.size());
    return repaired;
}

} // namespace engine::bridge
