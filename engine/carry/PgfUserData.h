// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <exiv2/image.hpp>

// A PGF file keeps its metadata as a small image in its header's user data.
// Exiv2 0.27 writes the new user data but leaves the old one behind it,
// where readers expect the image data, so the picture no longer decodes.
namespace engine::bridge {

// The user data of the image's file as read, before a write; null for
// another format.
QByteArray pgfUserData(const Exiv2::Image &image);
// The written file without the old user data, when it follows the new one;
// null when it does not.
QByteArray withoutStalePgfUserData(const Exiv2::byte *data, long size, const QByteArray &stale);

} // namespace engine::bridge
