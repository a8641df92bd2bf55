// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

namespace platform {

// A tree of property-list values (map, list, text, integer, real, Boolean,
// date, bytes) turned into bytes and back, exactly. Encoded as CBOR.
namespace Archive {

QByteArray encode(const QVariant &tree);
// No result for bytes that are empty, malformed, truncated or padded.
std::optional<QVariant> decode(const QByteArray &bytes);

} // namespace Archive
} // namespace platform
