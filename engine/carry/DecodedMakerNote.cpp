// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/DecodedMakerNote.h"

#include <exiv2/tags.hpp>

#include <algorithm>

namespace engine::bridge {

namespace {

// Whether a group is one of a maker note's, but for the library's own
// entries about the note (where it stood, its byte order). The library
// looks a group up by its name in a long table, so the answer for the last
// group asked is kept: a note's values come group by group.
class CameraGroups
{
public:
    bool holds(const Exiv2::Exifdatum &datum)
    {
        std::string group = datum.groupName();
        if (group != m_group) {
            m_camera = group != "MakerNote" && Exiv2::ExifTags::isMakerGroup(group);
            m_group = std::move(group);
        }
        return m_camera;
    }

private:
    std::string m_group;
    bool m_camera = false;
};

// Whether b holds what a holds but for numbers of four bytes that are
// larger by one of the distances the write moved the note (in order): the
// offsets a value the library does not take apart holds (a directory it
// keeps as its bytes), or an offset entry's own number.
bool sameButMovedOffsets(const std::vector<Exiv2::byte> &a, const std::vector<Exiv2::byte> &b,
    Exiv2::ByteOrder order, std::span<const int64_t> moves)
{
    if (a.size() != b.size())
        return false;
    std::size_t i = 0;
    while (i < a.size()) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        // The number that differs starts at most three bytes before.
        bool found = false;
        for (std::size_t at = i >= 3 ? i - 3 : 0; at <= i && at + 4 <= a.size() && !found; ++at) {
            const int64_t by
                = int64_t(Exiv2::getULong(&b[at], order)) - int64_t(Exiv2::getULong(&a[at], order));
            if (by != 0 && std::binary_search(moves.begin(), moves.end(), by)
                && std::equal(a.begin() + long(i), a.begin() + long(at), b.begin() + long(i))) {
                found = true;
                i = at + 4;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

} // namespace

DecodedMakerNote decodedMakerNote(const Exiv2::ExifData &exif)
{
    DecodedMakerNote note;
    CameraGroups camera;
    for (const Exiv2::Exifdatum &datum : exif) {
        if (!camera.holds(datum))
            continue;
        DecodedMakerNote::Value value { datum.key(), datum.typeId(), datum.count(), {}, {} };
        value.bytes.resize(std::size_t(std::max(datum.size(), 0L)));
        if (!value.bytes.empty())
            datum.copy(value.bytes.data(), Exiv2::littleEndian);
        if (datum.sizeDataArea() > 0) {
            const Exiv2::DataBuf area = datum.dataArea();
            value.data.assign(area.pData_, area.pData_ + area.size_);
        }
        note.values.push_back(std::move(value));
    }
    return note;
}

std::optional<std::string> decodedDifference(const DecodedMakerNote &original,
    const DecodedMakerNote &written, Exiv2::ByteOrder order, std::span<const int64_t> movesGiven)
{
    // A note carried in many stretches moves by many distances.
    std::vector<int64_t> moves(movesGiven.begin(), movesGiven.end());
    std::sort(moves.begin(), moves.end());
    for (std::size_t i = 0; i < original.values.size(); ++i) {
        const DecodedMakerNote::Value &a = original.values[i];
        if (i >= written.values.size())
            return a.key;
        const DecodedMakerNote::Value &b = written.values[i];
        if (a.key != b.key || a.type != b.type || a.count != b.count || a.data != b.data)
            return a.key;
        // Numbers are taken out in one order; what the library keeps as
        // bytes stands in the note's.
        const bool numbers = a.type != Exiv2::undefined && a.type != Exiv2::unsignedByte;
        if (a.bytes != b.bytes
            && !sameButMovedOffsets(a.bytes, b.bytes, numbers ? Exiv2::littleEndian : order, moves))
            return a.key;
    }
    if (written.values.size() > original.values.size())
        return written.values[original.values.size()].key;
    return std::nullopt;
}

} // namespace engine::bridge
