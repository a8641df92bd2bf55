// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/MakerNoteLayouts.h"

#include <QByteArrayView>

#include <algorithm>
#include <array>
#include <iterator>

namespace engine::bridge {

namespace {

using namespace std::string_view_literals;

// The directories an Olympus note keeps beside its first: equipment,
// camera settings, raw development, image processing, focus and the raw
// and main information.
constexpr SubDirectory olympusDirectories[] = { { 0x2010 }, { 0x2020 }, { 0x2030 }, { 0x2031 }, { 0x2040 },
    { 0x2050 }, { 0x3000 }, { 0x4000 }, { 0x5000 } };
// Its preview: in the first directory of the older notes, in the camera
// settings of the newer.
constexpr DataPointer olympusPictures[] = { { 0x0088, 0x0089 }, { 0x0101, 0x0102 } };

constexpr SubDirectory nikonDirectories[] = { { 0x0011 } }; // the preview's
// The camera's information, after a header "[Ricoh Camera Info]".
constexpr SubDirectory ricohDirectories[] = { { 0x2001, "[Ricoh Camera Info]", 20 } };
constexpr DataPointer nikonPictures[] = { { 0x0201, 0x0202 } };

constexpr DataPointer pentaxPictures[] = { { 0x0004, 0x0003 } };
constexpr DataPointer casioPictures[] = { { 0x0004, 0x0003 } };
constexpr DataPointer minoltaPictures[] = { { 0x0088, 0x0089 } };
// A Sigma compact's preview, which some models keep after the note.
constexpr DataPointer sigmaPictures[] = { { 0x001a, 0x001b } };
// The original decision data, whose offset counts from the file's start
// and which gives its own length.
constexpr DataPointer canonData[] = { { 0x0083, 0, true } };

constexpr MakerNoteLayout layouts[] = {
    // Notes with a header of their own, told by it.
    { .signature = "Nikon\0\2"sv,
        .directoryStart = DirectoryStart::InnerTiffHeader,
        .at = 10,
        .base = OffsetBase::InnerTiffHeader,
        .order = NoteByteOrder::Marked,
        .orderAt = 10,
        .directories = nikonDirectories,
        .pointers = nikonPictures },
    // The older notes of Coolpix cameras, some with a preview directory.
    { .signature = "Nikon\0\1"sv, .at = 8, .directories = nikonDirectories, .pointers = nikonPictures },
    { .signature = "OLYMPUS\0"sv,
        .at = 12,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::Marked,
        .orderAt = 8,
        .directories = olympusDirectories,
        .pointers = olympusPictures },
    { .signature = "OM SYSTEM\0"sv,
        .at = 16,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::Marked,
        .orderAt = 12,
        .directories = olympusDirectories,
        .pointers = olympusPictures },
    { .signature = "OLYMP\0"sv, .at = 8, .directories = olympusDirectories, .pointers = olympusPictures },
    { .signature = "EPSON\0"sv, .at = 8, .directories = olympusDirectories, .pointers = olympusPictures },
    { .signature = "MINOL\0"sv, .at = 8, .directories = olympusDirectories, .pointers = olympusPictures },
    { .signature = "FUJIFILM"sv,
        .directoryStart = DirectoryStart::OffsetAtEight,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::LittleEndian },
    { .signature = "GENERALE"sv,
        .directoryStart = DirectoryStart::OffsetAtEight,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::LittleEndian },
    { .signature = "GE\0\0"sv,
        .directoryStart = DirectoryStart::InnerTiffHeader,
        .at = 10,
        .base = OffsetBase::InnerTiffHeader },
    { .signature = "AOC\0"sv,
        .at = 6,
        .order = NoteByteOrder::Marked,
        .orderAt = 4,
        .pointers = pentaxPictures },
    { .signature = "PENTAX \0"sv,
        .at = 10,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::Marked,
        .orderAt = 8,
        .pointers = pentaxPictures },
    { .signature = "Panasonic\0\0\0"sv, .at = 12, .nextOffset = false },
    { .signature = "SONY DSC \0\0\0"sv, .at = 12 },
    { .signature = "SONY CAM \0\0\0"sv, .at = 12 },
    { .signature = "SIGMA\0\0\0"sv, .at = 10, .pointers = sigmaPictures },
    { .signature = "FOVEON\0\0"sv, .at = 10, .pointers = sigmaPictures },
    { .signature = "SANYO\0"sv, .at = 8 },
    { .signature = "QVC\0"sv, .at = 6, .pointers = casioPictures },
    { .signature = "JVC "sv, .at = 4 },
    { .signature = "RICOH\0"sv, .at = 8, .directories = ricohDirectories },
    { .signature = "Ricoh"sv, .at = 8, .directories = ricohDirectories },
    { .signature = "MOT\0"sv, .at = 8, .base = OffsetBase::NoteStart },
    { .signature = "Apple iOS\0"sv,
        .at = 14,
        .base = OffsetBase::NoteStart,
        .order = NoteByteOrder::Marked,
        .orderAt = 12 },
    // Notes that are a bare directory, told by the make.
    { .make = "Canon"sv, .footer = true, .pointers = canonData },
    { .make = "Minolta"sv, .pointers = minoltaPictures },
    { .make = "Konica Minolta"sv, .pointers = minoltaPictures },
    { .make = "Casio"sv },
    { .make = "Nikon"sv, .directories = nikonDirectories, .pointers = nikonPictures },
    { .make = "Sony"sv },
    { .make = "FLIR"sv },
    { .make = "Pentax"sv, .pointers = pentaxPictures },
    { .make = "Asahi"sv, .pointers = pentaxPictures },
    { .make = "Samsung"sv, .base = OffsetBase::NoteStart },
};

bool startsWith(std::span<const Exiv2::byte> bytes, std::string_view head)
{
    return bytes.size() >= head.size()
        && std::equal(head.begin(), head.end(), bytes.begin(),
            [](char a, Exiv2::byte b) { return Exiv2::byte(a) == b; });
}

bool isMake(std::string_view make, std::string_view prefix)
{
    return make.size() >= prefix.size()
        && QByteArrayView(make.substr(0, prefix.size())).compare(QByteArrayView(prefix), Qt::CaseInsensitive)
        == 0;
}

} // namespace

const MakerNoteLayout *makerNoteLayout(std::span<const Exiv2::byte> note, std::string_view make)
{
    const auto found = std::find_if(
        std::begin(layouts), std::end(layouts), [&](const MakerNoteLayout &layout) {
            return layout.signature.empty() ? isMake(make, layout.make) : startsWith(note, layout.signature);
        });
    return found != std::end(layouts) ? &*found : nullptr;
}

std::span<const MakerNoteLayout> unknownMakerLayouts()
{
    static constexpr auto unknown = [] {
        std::array<MakerNoteLayout, 17> all {};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i].at = 2 * i;
        return all;
    }();
    return unknown;
}

} // namespace engine::bridge
