// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/PgfUserData.h"

#include "engine/walks/ByteCursor.h"

#include <exiv2/pgfimage.hpp>

#include <optional>
#include <span>

namespace engine::bridge {

namespace {

constexpr std::size_t preHeader = 8; // signature, version, header size
constexpr std::size_t header = 16;
constexpr std::size_t colourTable = 256 * 3;
constexpr std::size_t modeInHeader = 12;
constexpr Exiv2::byte indexedMode = 2;

// Where the header's user data ends, counted from the file's start.
std::optional<std::size_t> userDataEnd(ByteCursor pgf)
{
    if (!pgf.skip(4))
        return std::nullopt;
    const std::optional<uint32_t> headerSize = pgf.uint32(Exiv2::littleEndian);
    if (!headerSize)
        return std::nullopt;
    return preHeader + std::size_t(*headerSize);
}

// Where the user data starts: after the header and an indexed image's colours.
std::optional<std::size_t> userDataStart(ByteCursor pgf)
{
    if (!pgf.skip(preHeader + modeInHeader))
        return std::nullopt;
    const std::optional<uint8_t> mode = pgf.byte();
    if (!mode)
        return std::nullopt;
    return preHeader + header + (*mode == indexedMode ? colourTable : 0);
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
    const Exiv2::byte *data = io.mmap();
    const ByteCursor pgf(data, static_cast<long>(io.size()));
    QByteArray userData;
    const std::optional<std::size_t> start = userDataStart(pgf);
    const std::optional<std::size_t> end = userDataEnd(pgf);
    if (start && end && *start < *end && *end <= pgf.remaining())
        userData = QByteArray(reinterpret_cast<const char *>(data) + *start, qsizetype(*end - *start));
    io.munmap();
    return userData;
}

QByteArray withoutStalePgfUserData(const Exiv2::byte *data, long size, const QByteArray &stale)
{
    const ByteCursor pgf(data, size);
    const std::optional<std::size_t> at = userDataEnd(pgf);
    if (stale.isEmpty() || pgf.remaining() < preHeader + header || !at)
        return QByteArray();
    std::optional<ByteCursor> after = pgf.at(*at);
    const std::optional<std::span<const Exiv2::byte>> following
        = after ? after->bytes(std::size_t(stale.size())) : std::nullopt;
    if (!following
        || QByteArrayView(reinterpret_cast<const char *>(following->data()), qsizetype(following->size()))
            != QByteArrayView(stale))
        return QByteArray();
    QByteArray repaired(reinterpret_cast<const char *>(data), qsizetype(*at));
    repaired.append(reinterpret_cast<const char *>(data) + after->position(), size - long(after->position()));
    return repaired;
}

} // namespace engine::bridge
