// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/ExtendedXmp.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/JpegSegments.h"

#include <optional>
#include <span>
#include <string_view>
#include <unordered_set>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app1 = 0xe1;
constexpr char extension[] = "http://ns.adobe.com/xmp/extension/"; // then a NUL and the GUID
constexpr std::size_t guidSize = 32;

// Whether a GUID stands anywhere in the packet. Every extension segment
// names its GUID, and a file can hold thousands of them: the packet's
// stretches of a GUID's size are gathered once, at the first, rather than
// the packet searched again for each.
class GuidsInPacket
{
public:
    explicit GuidsInPacket(std::string_view packet)
        : m_packet(packet)
    { }

    bool contains(std::span<const Exiv2::byte> guid)
    {
        if (!m_stretches) {
            m_stretches.emplace();
            for (std::size_t at = 0; at + guidSize <= m_packet.size(); ++at)
                m_stretches->insert(m_packet.substr(at, guidSize));
        }
        return m_stretches->contains(
            std::string_view(reinterpret_cast<const char *>(guid.data()), guid.size()));
    }

private:
    std::string_view m_packet;
    std::optional<std::unordered_set<std::string_view>> m_stretches;
};

} // namespace

QByteArray withoutOrphanedExtendedXmp(Exiv2::byte *data, long size, const std::string &packet)
{
    GuidsInPacket named(packet);
    return withoutJpegSegments(data, size, [&](const JpegSegment &segment) {
        ByteCursor payload(segment.payload, segment.payloadSize);
        if (segment.marker != app1 || !payload.startsWith(std::string_view(extension, sizeof extension)))
            return false;
        payload.skip(sizeof extension);
        const std::optional<std::span<const Exiv2::byte>> guid = payload.bytes(guidSize);
        return guid && !named.contains(*guid);
    });
}

} // namespace engine::bridge
