// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ImageStructure.h"

#include "engine/BridgeFrame.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/cr2image.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/orfimage.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/tiffimage.hpp>

#include <algorithm>
#include <iterator>
#include <string>

namespace engine::bridge {

namespace {

// TIFF, DNG, CR2, GeoTIFF and GDAL tags of a directory that say how to read
// its image data, with the tags the library always keeps there (the other
// groups' carriers, XMP, IPTC and Photoshop resources, stay for their own
// groups).
constexpr uint16_t structureTags[] = {
    0x00fe,
    0x00ff,
    0x0100,
    0x0101,
    0x0102,
    0x0103,
    0x0106,
    0x0107,
    0x0108,
    0x0109,
    0x010a,
    0x0111,
    0x0115,
    0x0116,
    0x0117,
    0x0118,
    0x0119,
    0x011a,
    0x011b,
    0x011c,
    0x0122,
    0x0123,
    0x0124,
    0x0125,
    0x0128,
    0x012d,
    0x013d,
    0x013e,
    0x013f,
    0x0140,
    0x0141,
    0x0142,
    0x0143,
    0x0144,
    0x0145,
    0x014a,
    0x014c,
    0x014d,
    0x014e,
    0x0150,
    0x0152,
    0x0153,
    0x0154,
    0x0155,
    0x0156,
    0x015b,
    0x0200,
    0x0201,
    0x0202,
    0x0203,
    0x0205,
    0x0206,
    0x0207,
    0x0208,
    0x0209,
    0x0211,
    0x0212,
    0x0213,
    0x0214,
    0x828d,
    0x828e,
    0x8773,
    0x83bb,
    0x8649,
    0x830e,
    0x8480,
    0x8482,
    0x85d8,
    0x87af,
    0x87b0,
    0x87b1,
};
constexpr uint16_t otherStructureTags[] = { 0x0120, 0x0121, 0x0129, 0x0151, 0x0157, 0x0158, 0x0159, 0x015a,
    0x02bc, 0x8824, 0x8828, 0x9102, 0x9217, 0xa480, 0xa481, 0xc5d8, 0xc5d9, 0xc5e0 };
constexpr uint16_t firstDngTag = 0xc612;
constexpr uint16_t lastDngTag = 0xcfff;

// What the first directory of a format other than TIFF may say of the
// picture: resolution and colour.
constexpr uint16_t pictureDirectoryTags[]
    = { 0x011a, 0x011b, 0x0128, 0x012d, 0x013e, 0x013f, 0x0211, 0x0213, 0x0214, 0x8773 };

// The Exif directory's description of the picture.
constexpr uint16_t pictureTags[] = { 0x9000, 0xa000, 0xa001, 0xa500, 0x9101, 0xa002, 0xa003 };

constexpr uint16_t makeTag = 0x010f;
constexpr uint16_t modelTag = 0x0110;
constexpr uint16_t photometricTag = 0x0106;
constexpr uint16_t dngVersionTag = 0xc612;

template <size_t N> bool contains(const uint16_t (&tags)[N], uint16_t tag)
{
    return std::find(std::begin(tags), std::end(tags), tag) != std::end(tags);
}

bool isStructureTag(uint16_t tag)
{
    return contains(structureTags, tag) || contains(otherStructureTags, tag)
        || (tag >= firstDngTag && tag <= lastDngTag);
}

// The TIFF directories of the image chain: the first, the thumbnail's,
// CR2's third and fourth, and sub-images.
bool isImageDirectory(const std::string &group)
{
    return group == "Image" || group == "Thumbnail" || group == "Image2" || group == "Image3"
        || group.rfind("SubImage", 0) == 0 || group.rfind("SubThumb", 0) == 0;
}

bool isPointer(const Exiv2::Exifdatum &datum)
{
    const std::string group = datum.groupName();
    const uint16_t tag = datum.tag();
    return (group == "Image" && (tag == exifPointerTag || tag == gpsPointerTag))
        || (group == "Photo" && tag == interoperabilityPointerTag);
}

bool isMakerNote(const Exiv2::Exifdatum &datum)
{
    const std::string group = datum.groupName();
    return (group == "Photo" && datum.tag() == makerNoteTiffTag) || group == "MakerNote"
        || Exiv2::ExifTags::isMakerGroup(group);
}

bool isPictureTag(const Exiv2::Exifdatum &datum)
{
    return datum.groupName() == "Photo" && contains(pictureTags, datum.tag());
}

bool hasGroup(const Exiv2::ExifData &exif, const std::string &group)
{
    return std::any_of(
        exif.begin(), exif.end(), [&](const Exiv2::Exifdatum &d) { return d.groupName() == group; });
}

template <typename Predicate> void eraseIf(Exiv2::ExifData &exif, Predicate predicate)
{
    for (auto datum = exif.begin(); datum != exif.end();)
        datum = predicate(*datum) ? exif.erase(datum) : std::next(datum);
}

void addIfAbsent(Exiv2::ExifData &exif, const char *key, Exiv2::TypeId type, const std::string &text)
{
    const Exiv2::ExifKey exifKey(key);
    if (exif.findKey(exifKey) != exif.end())
        return;
    const Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    value->read(text);
    exif.add(exifKey, value.get());
}

bool holdsRawData(const Exiv2::ExifData &exif)
{
    return std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        if (!isImageDirectory(d.groupName()))
            return false;
        if (d.tag() == dngVersionTag)
            return true;
        if (d.tag() != photometricTag || d.count() == 0)
            return false;
        const long photometric = d.toLong(0);
        return photometric == 32803 || photometric == 34892; // colour filter array, linear raw
    });
}

} // namespace

namespace {

// A directory whose subfile type says it is no reduced copy of another
// image. One that says nothing (a raw file's thumbnail) counts as a copy.
bool isPage(const Exiv2::ExifData &exif, const char *subfileTypeKey)
{
    constexpr long reducedImage = 1;
    const auto type = exif.findKey(Exiv2::ExifKey(subfileTypeKey));
    return type != exif.end() && type->count() == 1 && (type->toLong(0) & reducedImage) == 0;
}

} // namespace

ImageKind imageKind(const Exiv2::Image &image)
{
    ImageKind kind;
    const int type = image.imageType();
    const bool rawType = type == Exiv2::ImageType::cr2 || type == Exiv2::ImageType::orf;
    kind.tiffBased = rawType || dynamic_cast<const Exiv2::TiffImage *>(&image) != nullptr;
    kind.raw = rawType || (kind.tiffBased && holdsRawData(image.exifData()));
    kind.jpeg = type == Exiv2::ImageType::jpeg;
    kind.paged = kind.tiffBased && isPage(image.exifData(), "Exif.Thumbnail.NewSubfileType");
    kind.imageType = type;
    return kind;
}

bool isKeptByClear(const Exiv2::Exifdatum &datum, const ImageKind &kind)
{
    const std::string group = datum.groupName();
    const uint16_t tag = datum.tag();
    if (isPointer(datum) || isPictureTag(datum) || group == "Iop"
        || (group == "Image" && tag == interoperabilityPointerTag))
        return true;
    if (kind.raw && ((group == "Image" && (tag == makeTag || tag == modelTag)) || isMakerNote(datum)))
        return true;
    // A TIFF-based file's other images (sub-images, a raw file's further
    // directories, a document's further pages) are kept whole, as the
    // library keeps them.
    if (kind.tiffBased && isImageDirectory(group) && group != "Image" && (group != "Thumbnail" || kind.paged))
        return true;
    if (kind.tiffBased)
        return isStructureTag(tag) && isImageDirectory(group);
    return group == "Image" && contains(pictureDirectoryTags, tag);
}

namespace {

// Whether the Exif directory holds more than its description of the picture.
bool photoHolds(const Exiv2::ExifData &exif)
{
    return std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        return (d.groupName() == "Photo" && !isPictureTag(d) && !isPointer(d)) || isMakerNote(d);
    });
}

// Whether another format's Exif holds more than its description of the picture.
bool holdsMore(const Exiv2::ExifData &exif)
{
    return std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        return !isPointer(d) && !(d.groupName() == "Image" && contains(pictureDirectoryTags, d.tag()));
    });
}

} // namespace

void dropIdleTags(Exiv2::ExifData &exif, const Exiv2::ExifData &before, const ImageKind &kind, bool exifTaken)
{
    if (exifTaken && photoHolds(before) && !photoHolds(exif))
        eraseIf(exif, [](const Exiv2::Exifdatum &d) { return isPictureTag(d) || d.groupName() == "Iop"; });
    const bool hasInteroperability = hasGroup(exif, "Iop");
    const bool hasPhoto = hasGroup(exif, "Photo");
    const bool hasGps = hasGroup(exif, "GPSInfo");
    eraseIf(exif, [&](const Exiv2::Exifdatum &d) {
        if (!isPointer(d))
            return false;
        switch (d.tag()) {
        case exifPointerTag:
            return !hasPhoto;
        case gpsPointerTag:
            return !hasGps;
        default:
            return !hasInteroperability;
        }
    });
    // Elsewhere the first directory's description of the picture is there
    // only for the sake of what else the Exif holds.
    if (exifTaken && !kind.tiffBased && holdsMore(before) && !holdsMore(exif))
        exif.clear();
}

namespace {

// The Exif version that first defined a tag of the Exif directory; 0 for
// the tags of every version.
int exifVersionOf(uint16_t tag)
{
    if ((tag >= 0xa401 && tag <= 0xa40c) || tag == 0xa420 || tag == 0x9214)
        return 220;
    if (tag == 0xa500)
        return 221;
    if ((tag >= 0x8830 && tag <= 0x8835) || (tag >= 0xa430 && tag <= 0xa435))
        return 230;
    if ((tag >= 0x9010 && tag <= 0x9012) || (tag >= 0x9400 && tag <= 0x9405))
        return 231;
    if (tag >= 0xa460 && tag <= 0xa462)
        return 232;
    return 0;
}

// An Exif directory that holds tags of a later version than it declares
// declares the version that defines them all.
void raiseExifVersion(Exiv2::ExifData &exif)
{
    const auto version = exif.findKey(Exiv2::ExifKey("Exif.Photo.ExifVersion"));
    if (version == exif.end() || version->count() != 4)
        return;
    int declared = 0;
    for (long i = 0; i < 4; ++i) {
        const long digit = version->toLong(i) - '0';
        if (digit < 0 || digit > 9)
            return;
        declared = declared * 10 + int(digit);
    }
    int needed = 0;
    for (const Exiv2::Exifdatum &d : exif) {
        if (d.groupName() == "Photo")
            needed = std::max(needed, exifVersionOf(d.tag()));
    }
    if (needed <= declared)
        return;
    const std::string digits = std::to_string(needed + 10000).substr(1);
    std::string bytes;
    for (const char c : digits) {
        if (!bytes.empty())
            bytes += ' ';
        bytes += std::to_string(int(c));
    }
    const Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::undefined);
    value->read(bytes);
    version->setValue(value.get());
}

} // namespace

void addRequiredTags(
    Exiv2::ExifData &exif, const Exiv2::ExifData &before, const Exiv2::Image &image, const ImageKind &kind)
{
    const auto isNew = [&](const char *group) { return !hasGroup(before, group) && hasGroup(exif, group); };
    raiseExifVersion(exif);
    // A JPEG's Exif always has a first directory, which needs these even
    // when the write gives it nothing of its own; its resolution is the
    // JFIF header's where the file has one.
    if (kind.jpeg && !hasGroup(before, "Image") && !exif.empty()) {
        JfifDensity density { 1, 72, 72 };
        readFileBytes(image, [&](const Exiv2::byte *data, long size) {
            density = jfifDensity(const_cast<Exiv2::byte *>(data), size).value_or(density);
        });
        // JFIF counts its units from none, Exif from 1 for none.
        addIfAbsent(
            exif, "Exif.Image.XResolution", Exiv2::unsignedRational, std::to_string(density.x) + "/1");
        addIfAbsent(
            exif, "Exif.Image.YResolution", Exiv2::unsignedRational, std::to_string(density.y) + "/1");
        addIfAbsent(
            exif, "Exif.Image.ResolutionUnit", Exiv2::unsignedShort, std::to_string(density.unit + 1));
        addIfAbsent(exif, "Exif.Image.YCbCrPositioning", Exiv2::unsignedShort, "1");
    }
    if (isNew("Photo")) {
        addIfAbsent(exif, "Exif.Photo.ExifVersion", Exiv2::undefined, "48 50 51 50"); // "0232"
        if (kind.jpeg || kind.tiffBased) {
            addIfAbsent(exif, "Exif.Photo.FlashpixVersion", Exiv2::undefined, "48 49 48 48"); // "0100"
            addIfAbsent(exif, "Exif.Photo.ColorSpace", Exiv2::unsignedShort, "65535"); // uncalibrated
        }
        if (kind.jpeg) {
            addIfAbsent(exif, "Exif.Photo.ComponentsConfiguration", Exiv2::undefined, "1 2 3 0"); // Y Cb Cr
            if (image.pixelWidth() > 0 && image.pixelHeight() > 0) {
                addIfAbsent(exif, "Exif.Photo.PixelXDimension", Exiv2::unsignedLong,
                    std::to_string(image.pixelWidth()));
                addIfAbsent(exif, "Exif.Photo.PixelYDimension", Exiv2::unsignedLong,
                    std::to_string(image.pixelHeight()));
            }
        }
    }
    if (isNew("GPSInfo")) {
        addIfAbsent(exif, "Exif.GPSInfo.GPSVersionID", Exiv2::unsignedByte, "2 3 0 0");
        if (kind.tiffBased)
            addIfAbsent(exif, "Exif.GPSInfo.GPSProcessingMethod", Exiv2::comment, "charset=Ascii MANUAL");
    }
}

std::vector<std::string> dropEntriesOfNoType(Exiv2::ExifData &exif)
{
    // The library keeps an entry's type as it read it; its own types for
    // values it makes start at 0x10000.
    const auto ofNoType = [](const Exiv2::Exifdatum &datum) {
        const int type = datum.typeId();
        return !isMakerNote(datum)
            && (type < Exiv2::unsignedByte || (type > Exiv2::tiffIfd && type < Exiv2::string));
    };
    std::vector<std::string> dropped;
    for (auto datum = exif.begin(); datum != exif.end();) {
        if (!ofNoType(*datum)) {
            ++datum;
            continue;
        }
        dropped.push_back(datum->key());
        datum = exif.erase(datum);
    }
    return dropped;
}

QString noTypeReason()
{
    return QStringLiteral(
        "its entry has no type other programs know, and they would stop reading the Exif at it");
}

bool hasMakerNote(const Exiv2::ExifData &exif)
{
    return std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) { return isMakerNote(d); });
}

std::string cameraMake(const Exiv2::ExifData &exif)
{
    const auto make = exif.findKey(Exiv2::ExifKey("Exif.Image.Make"));
    return make != exif.end() ? make->toString() : std::string();
}

} // namespace engine::bridge
