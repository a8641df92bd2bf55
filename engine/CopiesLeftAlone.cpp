// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CopiesLeftAlone.h"

#include "engine/ImageStructure.h"
#include "engine/MisplacedExif.h"
#include "engine/XmpCopies.h"
#include "engine/XmpPositions.h"
#include "engine/walks/ByteCursor.h"
#include "engine/walks/CameraSegments.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/JpegTrailers.h"
#include "engine/walks/MakerNoteWalk.h"

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app10 = 0xea;
constexpr Exiv2::byte app12 = 0xec;
constexpr uint16_t xmpPacketTag = 0x02bc;
// An IPTC stream starts with its application record's version.
constexpr std::string_view iptcStart("\x1c\x02\x00\x00\x02", 5);
constexpr std::string_view unicodeComment("UNICODE\0", 8);
constexpr std::string_view ducky("Ducky", 5);
// The picture editor's tags in its "Ducky" segment that hold texts.
constexpr uint16_t duckyComment = 2;
constexpr uint16_t duckyCopyright = 3;

QString inMakerNote()
{
    return QStringLiteral("the camera's maker note keeps its own copy");
}

QString inSegment(const QString &segment)
{
    return QStringLiteral("another program keeps its own copy in an %1 segment").arg(segment);
}

QString inSubImage()
{
    return QStringLiteral("a sub-image keeps its own XMP");
}

QString inTrailer()
{
    return QStringLiteral("another program keeps its own copy in a trailer after the picture");
}

QString inUnreadableTrailer(const char *what)
{
    return QStringLiteral("a trailer after the picture cannot be read, so %1 in it stays")
        .arg(QLatin1String(what));
}

QString inMakerNoteRotation(uint16_t orientation)
{
    const char *name = orientation == 3 ? "Rotate 180" : orientation == 6 ? "Rotate 90 CW" : "Rotate 270 CW";
    return QStringLiteral("the camera's maker note keeps its own rotation (%1)").arg(QLatin1String(name));
}

QString inOtherDirectory(const QString &directory)
{
    return QStringLiteral("another program keeps its own copy in %1").arg(directory);
}

bool isMakerNote(const Exiv2::Exifdatum &datum)
{
    return datum.key() == "Exif.Photo.MakerNote" || Exiv2::ExifTags::isMakerGroup(datum.groupName());
}

std::vector<Exiv2::byte> bytesOf(const Exiv2::Exifdatum &datum)
{
    std::vector<Exiv2::byte> bytes(std::size_t(std::max(datum.size(), 0L)));
    if (!bytes.empty())
        datum.copy(bytes.data(), Exiv2::invalidByteOrder);
    return bytes;
}

// An IPTC stream among a maker note entry's bytes, where a camera's
// software keeps the IPTC it was given (Nikon's capture data does).
std::vector<StoredDataset> iptcIn(const Exiv2::Exifdatum &datum)
{
    if (datum.typeId() != Exiv2::undefined && datum.typeId() != Exiv2::unsignedByte)
        return {};
    const std::vector<Exiv2::byte> bytes = bytesOf(datum);
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    const std::size_t start = text.find(iptcStart);
    if (start == std::string_view::npos)
        return {};
    return leadingDatasets(std::span(bytes).subspan(start));
}

// A picture editor's "Ducky" segment: tags of a number and a size, each
// text a count then its characters, up to a tag 0.
void readDucky(const JpegSegment &segment, CopiesLeftAlone &copies)
{
    ByteCursor tags(segment.payload, segment.payloadSize);
    if (!tags.startsWith(ducky))
        return;
    tags.skip(ducky.size());
    for (;;) {
        const std::optional<uint16_t> tag = tags.uint16();
        const std::optional<uint16_t> size = tag && *tag != 0 ? tags.uint16() : std::nullopt;
        const std::optional<std::span<const Exiv2::byte>> data = size ? tags.bytes(*size) : std::nullopt;
        if (!data)
            return;
        const bool holdsText = data->size() > 4;
        if (*tag == duckyComment && holdsText)
            copies.commentSegment = QStringLiteral("APP12");
        if (*tag == duckyCopyright && holdsText)
            copies.copyrightSegment = QStringLiteral("APP12");
    }
}

void readSegments(const Exiv2::byte *data, long size, CopiesLeftAlone &copies, WalkBudget &budget)
{
    long imageStart = 0;
    const bool jpeg
        = forEachJpegSegment(const_cast<Exiv2::byte *>(data), size, [&](const JpegSegment &segment) {
              imageStart = segment.start + segment.length;
              if (segment.marker == app12)
                  readDucky(segment, copies);
              const ByteCursor payload(segment.payload, segment.payloadSize);
              if (segment.marker == app10 && payload.startsWith(unicodeComment)
                  && payload.remaining() > unicodeComment.size())
                  copies.commentSegment = QStringLiteral("APP10");
              if (cameraSegmentOf(segment, budget) == CameraSegment::Unreadable)
                  copies.unreadableCameraSegments << markerName(segment.marker);
          });
    if (!jpeg)
        return;
    copies.thermalSegments = thermalSegmentsOf(data, size, budget);
    JpegTrailers trailers
        = jpegTrailers(std::span(data, std::size_t(size)), std::size_t(std::max(imageStart, 2L)), budget);
    copies.trailerIptc = std::move(trailers.iptc);
    copies.cameraTrailer = trailers.cameraData;
    copies.unreadableTrailer = trailers.unreadable;
}

// The rotation tags of maker notes, in the order the library's orientation
// lookup reads them, with the orientation each value stands for (the first
// repeated where a tag has three).
struct RotationTag
{
    const char *key;
    std::pair<uint16_t, uint16_t> orientations[4];
};
// Canon's, which the library's lookup does not read.
constexpr RotationTag canonAutoRotate { "Exif.CanonSi.AutoRotate",
    { { 0, 1 }, { 1, 6 }, { 2, 3 }, { 3, 8 } } };
constexpr RotationTag rotationTags[] = {
    { "Exif.Panasonic.Rotation", { { 1, 1 }, { 3, 3 }, { 6, 6 }, { 8, 8 } } },
    { "Exif.MinoltaCs5D.Rotation", { { 72, 1 }, { 76, 6 }, { 82, 8 }, { 72, 1 } } },
    { "Exif.MinoltaCs5D.Rotation2", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    { "Exif.MinoltaCs7D.Rotation", { { 72, 1 }, { 76, 6 }, { 82, 8 }, { 72, 1 } } },
    { "Exif.Sony1MltCsA100.Rotation", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    { "Exif.Sony1Cs.Rotation", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    { "Exif.Sony2Cs.Rotation", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    { "Exif.Sony1Cs2.Rotation", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    { "Exif.Sony2Cs2.Rotation", { { 0, 1 }, { 1, 6 }, { 2, 8 }, { 0, 1 } } },
    canonAutoRotate,
};
// Pentax keeps it in two bits of its camera settings' eighteenth byte.
constexpr const char *pentaxSettings[] = { "Exif.Pentax.ShotInfo", "Exif.PentaxDng.ShotInfo" };
constexpr long pentaxRotationByte = 17;
constexpr uint16_t pentaxOrientations[] = { 1, 3, 6, 8 };

// The orientation a rotation tag's stored number stands for; none for a
// number it does not name.
std::optional<uint16_t> orientationOf(const RotationTag &tag, long stored)
{
    for (const auto &[number, orientation] : tag.orientations) {
        if (number == stored)
            return orientation;
    }
    return std::nullopt;
}

// The orientation a maker note's rotation tag stands for; none for
// another datum or a value it does not name.
std::optional<uint16_t> rotationOf(const Exiv2::Exifdatum &datum, const std::string &key)
{
    for (const RotationTag &tag : rotationTags) {
        if (key == tag.key)
            return datum.count() > 0 ? orientationOf(tag, datum.toLong(0)) : std::nullopt;
    }
    const bool pentax
        = std::find(std::begin(pentaxSettings), std::end(pentaxSettings), key) != std::end(pentaxSettings);
    if (pentax && datum.count() > pentaxRotationByte)
        return pentaxOrientations[(datum.toLong(pentaxRotationByte) >> 5) & 3];
    return std::nullopt;
}

// Canon keeps its rotation in its shot information, the note's entry 4 of
// 16-bit numbers, as the 28th of them.
constexpr uint16_t canonShotInfo = 0x0004;
constexpr uint16_t unsignedShort = 3;
constexpr std::size_t canonAutoRotateAt = 27 * 2;

// A Canon note's rotation number as the engine's own reading of the note
// finds it: from the base its values land on. Where another program moved
// the note without its offsets, the library reads another number from where
// they say (none, or a turn the camera never made). None where the file's
// bytes hold no Canon note whose shot information reads.
std::optional<long> canonRotation(
    const Exiv2::Image &image, const Exiv2::byte *data, long size, WalkBudget &budget)
{
    const std::string make = cameraMake(image.exifData());
    if (!data || size <= 0
        || !QString::fromStdString(make).startsWith(QLatin1String("Canon"), Qt::CaseInsensitive))
        return std::nullopt;
    const ImageKind kind = imageKind(image);
    const std::span<const Exiv2::byte> file(data, std::size_t(size));
    const std::optional<ExifInFile> exif = exifOfImage(file, kind);
    const std::optional<std::pair<std::size_t, std::size_t>> note
        = exif ? makerNoteEntry(exif->tiff) : std::nullopt;
    if (!note)
        return std::nullopt;
    const std::optional<MakerNoteReading> reading = readMakerNote(exif->tiff,
        { exif->offsetInFile, exif->fileEnd(file.size()), kind.jpeg ? file : std::span<const Exiv2::byte>() },
        note->first, note->second, make, budget);
    if (!reading || !reading->layout || reading->layout->make != "Canon")
        return std::nullopt;
    for (const MakerNoteValue &value : reading->values) {
        if (value.directory == 0 && value.tag == canonShotInfo && value.type == unsignedShort
            && value.bytes.size() >= canonAutoRotateAt + 2)
            return Exiv2::getUShort(value.bytes.data() + canonAutoRotateAt, reading->order);
    }
    return std::nullopt;
}

// A value in another directory whose bytes differ from its own.
void checkMisplaced(const Exiv2::Exifdatum &datum, const std::string &key, const Exiv2::ExifData &exif,
    CopiesLeftAlone &copies)
{
    const std::string home = homeKey(datum);
    if (home == key)
        return;
    const auto own = exif.findKey(Exiv2::ExifKey(home));
    if (own == exif.end() || bytesOf(*own) != bytesOf(datum))
        copies.misplacedApart.emplace_back(home, QLatin1String(directoryName(datum)));
}

bool holdsDataset(const std::vector<StoredDataset> &datasets, const Exiv2::IptcKey &key)
{
    return std::any_of(datasets.begin(), datasets.end(),
        [&](const StoredDataset &d) { return d.record == key.record() && d.number == key.tag(); });
}

// The sub-images' XMP, as one set of values; what does not parse holds
// none that can be told.
Exiv2::XmpData subImageValues(const std::vector<std::string> &packets)
{
    Exiv2::XmpData all;
    for (const std::string &packet : packets) {
        Exiv2::XmpData values;
        try {
            if (Exiv2::XmpParser::decode(values, packet) != 0)
                continue;
        } catch (const Exiv2::AnyError &) {
            continue;
        }
        for (const Exiv2::Xmpdatum &datum : values)
            all.add(datum);
    }
    return all;
}

// The latitude, longitude and altitude, of which other programs keep copies
// of their own.
bool isPositionKey(const std::string &key)
{
    return key == "Exif.GPSInfo.GPSLatitude" || key == "Exif.GPSInfo.GPSLongitude"
        || key == "Exif.GPSInfo.GPSAltitude";
}

bool isCopyright(const std::string &key)
{
    return key == "Exif.Image.Copyright" || key == "Iptc.Application2.Copyright";
}

} // namespace

CopiesLeftAlone copiesLeftAlone(
    const Exiv2::Image &image, const Exiv2::byte *data, long size, WalkBudget &budget)
{
    CopiesLeftAlone copies;
    const Exiv2::ExifData &exif = image.exifData();
    std::optional<uint16_t> rotation;
    uint16_t orientation = 1;
    for (const Exiv2::Exifdatum &datum : exif) {
        const std::string key = datum.key();
        if (key == "Exif.Image.Orientation" && datum.count() > 0)
            orientation = uint16_t(datum.toLong(0));
        if (!rotation)
            rotation = rotationOf(datum, key);
        checkMisplaced(datum, key, exif, copies);
        if (copies.makerNoteIptc.empty() && isMakerNote(datum))
            copies.makerNoteIptc = iptcIn(datum);
        if (datum.tag() == xmpPacketTag && datum.groupName() != "Image" && !isMakerNote(datum)) {
            const std::vector<Exiv2::byte> packet = bytesOf(datum);
            copies.subImageXmp.emplace_back(reinterpret_cast<const char *>(packet.data()), packet.size());
        }
    }
    if (const std::optional<long> canon = canonRotation(image, data, size, budget))
        rotation = orientationOf(canonAutoRotate, *canon);
    if (rotation && *rotation != orientation)
        copies.makerNoteRotation = rotation;
    const Exiv2::XmpData &xmp = image.xmpData();
    copies.ownXmpPosition = std::any_of(
        xmp.begin(), xmp.end(), [](const Exiv2::Xmpdatum &datum) { return isOwnXmpPosition(datum.key()); });
    if (image.imageType() == Exiv2::ImageType::jpeg && data && size > 0)
        readSegments(data, size, copies, budget);
    return copies;
}

void reportKeptCopies(const CopiesLeftAlone &copies, const ClearChoices &clear, const CopyReport &kept)
{
    if (clear.exif && copies.cameraTrailer)
        kept("exif",
            QStringLiteral("the camera keeps its own data in a trailer after the picture, which stays"));
    if (clear.exif) {
        for (const QString &segment : copies.unreadableCameraSegments)
            kept("exif",
                QStringLiteral("an %1 segment that begins as the camera's own cannot be read, so it stays")
                    .arg(segment));
    }
    if (clear.exif && copies.thermalSegments.present)
        kept("exif",
            QStringLiteral("a thermal camera's own segments stay, as thermal software reads the picture's "
                           "temperatures from them, and with them the camera's model, serial numbers and "
                           "date taken"));
    if ((clear.gps || clear.exif) && copies.thermalSegments.present && !copies.thermalSegments.readable)
        kept(clear.gps ? "gps" : "exif",
            QStringLiteral("a thermal camera's own segments cannot be read within their bounds, so any "
                           "position in them stays"));
    if (clear.orientation && copies.makerNoteRotation)
        kept("orientation", inMakerNoteRotation(*copies.makerNoteRotation));
    if (clear.comment && !copies.commentSegment.isEmpty())
        kept("comment", inSegment(copies.commentSegment));
    if (clear.iptc && !copies.makerNoteIptc.empty())
        kept("iptc", inMakerNote());
    if (clear.iptc && !copies.trailerIptc.empty())
        kept("iptc", inTrailer());
    if (clear.iptc && copies.unreadableTrailer)
        kept("iptc", inUnreadableTrailer("any IPTC"));
    if (clear.xmp && !copies.subImageXmp.empty())
        kept("xmp", inSubImage());
}

void reportOlderCopies(
    const CopiesLeftAlone &copies, const std::vector<std::string> &written, const CopyReport &stays)
{
    const Exiv2::XmpData subImages = subImageValues(copies.subImageXmp);
    for (const std::string &key : written) {
        if (key.starts_with("Iptc.")) {
            const Exiv2::IptcKey iptcKey(key);
            if (holdsDataset(copies.makerNoteIptc, iptcKey))
                stays(key, inMakerNote());
            if (holdsDataset(copies.trailerIptc, iptcKey))
                stays(key, inTrailer());
            else if (copies.unreadableTrailer)
                stays(key, inUnreadableTrailer("any copy"));
        }
        if (key == "Exif.Image.Orientation" && copies.makerNoteRotation)
            stays(key, inMakerNoteRotation(*copies.makerNoteRotation));
        if (isPositionKey(key) && copies.ownXmpPosition)
            stays(key, QStringLiteral("a drone's or a camera's own XMP keeps its position"));
        if (isPositionKey(key) && copies.thermalSegments.position)
            stays(key, QStringLiteral("a thermal camera's own GPS record keeps its position"));
        for (const auto &[home, directory] : copies.misplacedApart) {
            if (home == key)
                stays(key, inOtherDirectory(directory));
        }
        if (key == "Exif.Photo.UserComment" && !copies.commentSegment.isEmpty())
            stays(key, inSegment(copies.commentSegment));
        if (isCopyright(key) && !copies.copyrightSegment.isEmpty())
            stays(key, inSegment(copies.copyrightSegment));
        if (subImages.empty())
            continue;
        const std::vector<std::string> properties = keyAndXmpCopies(key);
        if (std::any_of(properties.begin(), properties.end(),
                [&](const std::string &p) { return holdsProperty(subImages, p); }))
            stays(key, inSubImage());
    }
}

} // namespace engine::bridge
