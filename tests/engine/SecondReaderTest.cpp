// SPDX-License-Identifier: GPL-3.0-or-later
// Every write and clear of every sample image, and of samples made here
// (a DNG with its maker note in its private data, a JPEG whose XMP repeats
// its Exif and position), checked with exiftool as a second reader: no
// warning the original did not have, every tag the operation does not
// name unchanged (maker notes included), what it names gone or written, the
// XMP copies of written values reading the same, every other name a reader
// shows a written value or a cleared group by gone or in step unless the
// photo is listed for it, a clear that finds nothing leaving the file as it
// was, the picture identical and a trailer after it byte for byte, and a
// maker note's own rotation listed by a clear of the orientation exactly
// when it says other than none. Then one write of every key the write
// table knows, each found again.

#include "support/SecondReader.h"
#include "BridgeTestSupport.h"
#include "support/CameraSamples.h"
#include "support/QtPrinters.h"

#include "engine/MetadataOperation.h"
#include "engine/MetadataTag.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringEncoder>

#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using secondreader::family0;
using secondreader::family1;
using secondreader::isExifTextCopy;
using secondreader::isXmpTextCopy;
using secondreader::Reading;
using secondreader::tagName;

namespace {

enum class Operation {
    Write,
    WriteEmptying,
    ClearExif,
    ClearOrientation,
    ClearGps,
    ClearComment,
    ClearIptc,
    ClearXmp,
    ClearAll
};

struct OperationInfo
{
    Operation operation;
    const char *name;
};

constexpr OperationInfo operations[] = {
    { Operation::Write, "write" },
    { Operation::WriteEmptying, "write emptying the rest" },
    { Operation::ClearExif, "clear Exif" },
    { Operation::ClearOrientation, "clear orientation" },
    { Operation::ClearGps, "clear GPS" },
    { Operation::ClearComment, "clear comment" },
    { Operation::ClearIptc, "clear IPTC" },
    { Operation::ClearXmp, "clear XMP" },
    { Operation::ClearAll, "clear all" },
};

const QVariantMap writtenValues {
    { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada Lovelace") },
    { QStringLiteral("Exif.Photo.DateTimeOriginal"), QStringLiteral("2019:07:14 09:30:05") },
    { QStringLiteral("Exif.Photo.ISOSpeedRatings"), QVariant::fromValue<qint64>(400) },
    { QStringLiteral("Exif.GPSInfo.GPSLatitude"), 48.8584 },
    { QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"), QStringLiteral("N") },
    { QStringLiteral("Exif.GPSInfo.GPSLongitude"), 2.2945 },
    { QStringLiteral("Exif.GPSInfo.GPSLongitudeRef"), QStringLiteral("E") },
    { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Zürich") },
    { QStringLiteral("Iptc.Application2.Keywords"), QStringLiteral("\"Smith, John\", Alps") },
    { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("50mm f/1.8") },
    { QStringLiteral("Xmp.xmp.CreateDate"), QStringLiteral("2019-07-14T09:30:05+02:00") },
    { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("A new comment") },
    { QStringLiteral("Exif.Image.Copyright"), QStringLiteral("A new copyright") },
    { QStringLiteral("Exif.Image.ImageDescription"), QStringLiteral("A new description") },
};

// What exiftool names the written values, and what it finds after a write.
const QStringList writtenTags {
    QStringLiteral("EXIF:IFD0:Artist"),
    QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"),
    QStringLiteral("EXIF:ExifIFD:ISO"),
    QStringLiteral("EXIF:GPS:GPSLatitude"),
    QStringLiteral("EXIF:GPS:GPSLatitudeRef"),
    QStringLiteral("EXIF:GPS:GPSLongitude"),
    QStringLiteral("EXIF:GPS:GPSLongitudeRef"),
    QStringLiteral("IPTC:City"),
    QStringLiteral("IPTC:Keywords"),
    QStringLiteral("IPTC:CodedCharacterSet"),
    QStringLiteral("XMP:XMP-aux:Lens"),
    QStringLiteral("XMP:XMP-xmp:CreateDate"),
    QStringLiteral("EXIF:ExifIFD:UserComment"),
    QStringLiteral("EXIF:IFD0:Copyright"),
    QStringLiteral("EXIF:IFD0:ImageDescription"),
    QStringLiteral("File:Comment"),
    QStringLiteral("PNG:Comment"),
    QStringLiteral("PNG:Description"),
};

// Every name a reader shows a written value by beside its own, which must
// read the new value or be gone: comments and copyrights other programs
// keep, the IPTC a maker note, a trailer or a later Photoshop segment
// keeps, values other programs put in another directory.
struct ShownAs
{
    const char *value;
    QJsonValue written;
    QStringList names;
};
const ShownAs shownAs[] = {
    { "Exif.Photo.UserComment", QStringLiteral("A new comment"),
        { QStringLiteral("EXIF:ExifIFD:UserComment"), QStringLiteral("EXIF:IFD0:UserComment"),
            QStringLiteral("XMP:XMP-exif:UserComment"), QStringLiteral("File:Comment"),
            QStringLiteral("PNG:Comment"), QStringLiteral("PNG:Description"),
            QStringLiteral("Ducky:Comment") } },
    { "Exif.Image.Copyright", QStringLiteral("A new copyright"),
        { QStringLiteral("EXIF:IFD0:Copyright"), QStringLiteral("XMP:XMP-tiff:Copyright"),
            QStringLiteral("Ducky:Copyright") } },
    { "Exif.Image.ImageDescription", QStringLiteral("A new description"),
        { QStringLiteral("EXIF:IFD0:ImageDescription"), QStringLiteral("EXIF:ExifIFD:ImageDescription"),
            QStringLiteral("XMP:XMP-tiff:ImageDescription") } },
    { "Iptc.Application2.City", QStringLiteral("Zürich"),
        { QStringLiteral("IPTC:City"), QStringLiteral("IPTC:IPTC2:City"),
            QStringLiteral("XMP:XMP-photoshop:City") } },
};

// An image converter's text copies in a PNG of the written values and of
// their XMP copies, as exiftool names them, which a write takes.
const QStringList textCopiesOfWritten {
    QStringLiteral("PNG:ExifArtist"),
    QStringLiteral("PNG:TiffArtist"),
    QStringLiteral("PNG:ExifDateTimeOriginal"),
    QStringLiteral("PNG:ExifISOSpeedRatings"),
    QStringLiteral("PNG:ExifPhotographicSensitivity"),
    QStringLiteral("PNG:ExifEXPhotographicSensitivity"),
    QStringLiteral("PNG:ExifGPSLatitude"),
    QStringLiteral("PNG:ExifGPSLatitudeRef"),
    QStringLiteral("PNG:ExifGPSLongitude"),
    QStringLiteral("PNG:ExifGPSLongitudeRef"),
    QStringLiteral("PNG:ExifUserComment"),
    QStringLiteral("PNG:ExifCopyright"),
    QStringLiteral("PNG:TiffCopyright"),
    QStringLiteral("PNG:ExifImageDescription"),
    QStringLiteral("PNG:TiffImageDescription"),
    QStringLiteral("PNG:PhotoshopCity"),
    QStringLiteral("PNG:DcSubject"),
    QStringLiteral("PNG:AuxLens"),
    QStringLiteral("PNG:XmpCreateDate"),
};

// Where XMP repeats the written Exif and IPTC values: a write brings every
// copy the file holds in step.
const std::pair<const char *, const char *> xmpCopies[] = {
    { "IPTC:City", "XMP:XMP-photoshop:City" },
    { "IPTC:Keywords", "XMP:XMP-dc:Subject" },
    { "EXIF:IFD0:Artist", "XMP:XMP-tiff:Artist" },
    { "EXIF:ExifIFD:DateTimeOriginal", "XMP:XMP-exif:DateTimeOriginal" },
    { "EXIF:ExifIFD:ISO", "XMP:XMP-exif:ISO" },
    { "EXIF:ExifIFD:ISO", "XMP:XMP-exifEX:PhotographicSensitivity" },
    { "EXIF:GPS:GPSLatitude", "XMP:XMP-exif:GPSLatitude" },
    { "EXIF:GPS:GPSLongitude", "XMP:XMP-exif:GPSLongitude" },
    { "EXIF:ExifIFD:UserComment", "XMP:XMP-exif:UserComment" },
    { "EXIF:IFD0:Copyright", "XMP:XMP-tiff:Copyright" },
    { "EXIF:IFD0:ImageDescription", "XMP:XMP-tiff:ImageDescription" },
};

// An Exif version older than the written tags is raised to theirs.
bool isRaisedVersion(const QString &key)
{
    return key == QLatin1String("EXIF:ExifIFD:ExifVersion");
}

// A PNG's Photoshop profile holds the IPTC a second time, and takes what is
// written as the IPTC does.
bool isProfileCopyOfWritten(const QString &key)
{
    return family1(key) == QLatin1String("IPTC2")
        && writtenTags.contains(QStringLiteral("IPTC:") + tagName(key));
}

bool isCopyOfWritten(const QString &key)
{
    return std::any_of(std::begin(xmpCopies), std::end(xmpCopies),
               [&](const auto &copy) { return key == QLatin1String(copy.second); })
        || std::any_of(std::begin(shownAs), std::end(shownAs),
            [&](const ShownAs &value) { return value.names.contains(key); });
}

// What the Exif standard requires of a directory a write creates.
const QStringList requiredTags {
    QStringLiteral("ExifVersion"),
    QStringLiteral("FlashpixVersion"),
    QStringLiteral("ColorSpace"),
    QStringLiteral("ComponentsConfiguration"),
    QStringLiteral("ExifImageWidth"),
    QStringLiteral("ExifImageHeight"),
    QStringLiteral("XResolution"),
    QStringLiteral("YResolution"),
    QStringLiteral("ResolutionUnit"),
    QStringLiteral("YCbCrPositioning"),
    QStringLiteral("GPSVersionID"),
    QStringLiteral("GPSProcessingMethod"),
};

// What a TIFF-based file's image data needs, which no clear may take.
const QStringList imageStructure {
    QStringLiteral("ImageWidth"),
    QStringLiteral("ImageHeight"),
    QStringLiteral("BitsPerSample"),
    QStringLiteral("Compression"),
    QStringLiteral("PhotometricInterpretation"),
    QStringLiteral("SamplesPerPixel"),
    QStringLiteral("RowsPerStrip"),
    QStringLiteral("StripByteCounts"),
    QStringLiteral("PlanarConfiguration"),
    QStringLiteral("TileWidth"),
    QStringLiteral("TileLength"),
    QStringLiteral("TileByteCounts"),
    QStringLiteral("SubfileType"),
    QStringLiteral("Predictor"),
    QStringLiteral("SampleFormat"),
    QStringLiteral("DNGVersion"),
    QStringLiteral("DNGBackwardVersion"),
    QStringLiteral("UniqueCameraModel"),
    QStringLiteral("ColorMatrix1"),
    QStringLiteral("ColorMatrix2"),
    QStringLiteral("AsShotNeutral"),
    QStringLiteral("BlackLevel"),
    QStringLiteral("WhiteLevel"),
    QStringLiteral("DefaultCropOrigin"),
    QStringLiteral("DefaultCropSize"),
    QStringLiteral("ActiveArea"),
    QStringLiteral("CFARepeatPatternDim"),
    QStringLiteral("CFAPattern2"),
    QStringLiteral("CR2CFAPattern"),
    QStringLiteral("CR2Slice"),
};

// The photograph's metadata, which a clear of the Exif takes.
const QStringList photoTags {
    QStringLiteral("Artist"),
    QStringLiteral("Copyright"),
    QStringLiteral("ImageDescription"),
    QStringLiteral("Software"),
    QStringLiteral("ModifyDate"),
    QStringLiteral("DateTimeOriginal"),
    QStringLiteral("CreateDate"),
    QStringLiteral("ExposureTime"),
    QStringLiteral("FNumber"),
    QStringLiteral("ISO"),
    QStringLiteral("ExposureProgram"),
    QStringLiteral("Flash"),
    QStringLiteral("FocalLength"),
    QStringLiteral("LensModel"),
    QStringLiteral("SerialNumber"),
    QStringLiteral("OwnerName"),
};

struct Sample
{
    QString name;
    bool tiffBased = false;
    bool raw = false;
    bool exif = false, iptc = false, xmp = false;
};

Sample sampleOf(const QString &path)
{
    Sample sample;
    sample.name = QFileInfo(path).fileName();
    const QByteArray head = bridgetest::fileBytes(path).left(4);
    sample.tiffBased = head.startsWith("II*") || head.startsWith("MM\0*");
    const QString suffix = QFileInfo(path).suffix().toLower();
    sample.raw
        = suffix == QLatin1String("dng") || suffix == QLatin1String("cr2") || suffix == QLatin1String("nef");
    const int type = Exiv2::ImageFactory::getType(QFile::encodeName(path).toStdString());
    const auto has
        = [type](Exiv2::MetadataId id) { return Exiv2::ImageFactory::checkMode(type, id) != Exiv2::amNone; };
    sample.exif = has(Exiv2::mdExif);
    sample.iptc = has(Exiv2::mdIptc);
    sample.xmp = has(Exiv2::mdXmp);
    return sample;
}

bool run(Operation operation, const QString &path, Shortfalls *listed)
{
    const MetadataOperation bridge(engine::check::refusal);
    const auto clear = [&](bool exif, bool orientation, bool gps, bool comment, bool iptc, bool xmp) {
        return bridge.clearMetadata(path, exif, orientation, gps, comment, iptc, xmp, {}, listed);
    };
    switch (operation) {
    case Operation::Write:
        return bridge.setMetadata(path, writtenValues, false, {}, listed);
    case Operation::WriteEmptying:
        return bridge.setMetadata(path, writtenValues, true, {}, listed);
    case Operation::ClearExif:
        return clear(true, false, false, false, false, false);
    case Operation::ClearOrientation:
        return clear(false, true, false, false, false, false);
    case Operation::ClearGps:
        return clear(false, false, true, false, false, false);
    case Operation::ClearComment:
        return clear(false, false, false, true, false, false);
    case Operation::ClearIptc:
        return clear(false, false, false, false, true, false);
    case Operation::ClearXmp:
        return clear(false, false, false, false, false, true);
    case Operation::ClearAll:
        return clear(true, true, true, true, true, true);
    }
    return false;
}

// Tags that change with every rewrite or that exiftool derives: file
// attributes, offsets, composites, its own notes, the XMP writer's name.
bool isVolatile(const QString &key)
{
    const QString f0 = family0(key);
    const QString name = tagName(key);
    if (f0 == QLatin1String("ExifTool") || f0 == QLatin1String("Composite"))
        return true;
    if (f0 == QLatin1String("File") && key != QLatin1String("File:Comment"))
        return true;
    // WebP's flags say which metadata chunks follow.
    return name.endsWith(QLatin1String("Offset")) || name.endsWith(QLatin1String("Offsets"))
        || name.endsWith(QLatin1String("Start")) || key == QLatin1String("XMP:XMP-x:XMPToolkit")
        || key == QLatin1String("RIFF:WebP_Flags");
}

// Exif, maker notes and the print settings inside the Exif.
bool isExif(const QString &key)
{
    const QString f0 = family0(key);
    return f0 == QLatin1String("EXIF") || f0 == QLatin1String("MakerNotes") || f0 == QLatin1String("PrintIM");
}

// A thermal camera's own GPS record, which goes with the position and with
// the rest of the camera's data.
bool isThermalPosition(const QString &key)
{
    return family1(key) == QLatin1String("FLIR") && tagName(key).startsWith(QLatin1String("GPS"));
}

// The position in every form: the GPS directory, its copies, and what a
// drone and a thermal camera keep of their own.
bool isGps(const QString &key)
{
    static const QRegularExpression dronePosition(QStringLiteral("Latitude|Longitude|Longtitude|Altitude"));
    const QString f1 = family1(key);
    return f1 == QLatin1String("GPS")
        || (f1 == QLatin1String("XMP-exif") && tagName(key).startsWith(QLatin1String("GPS")))
        || (f1 == QLatin1String("XMP-iptcExt") && tagName(key).contains(QLatin1String("GPS")))
        || (isExifTextCopy(key) && tagName(key).startsWith(QLatin1String("ExifGPS")))
        || (isXmpTextCopy(key) && tagName(key).startsWith(QLatin1String("XmpGPS")))
        || (f1 == QLatin1String("XMP-drone-dji") && dronePosition.match(tagName(key)).hasMatch())
        || isThermalPosition(key);
}

// Readers take the thumbnail directory's orientation where the first
// directory has none.
bool isOrientation(const QString &key)
{
    return key == QLatin1String("EXIF:IFD0:Orientation") || key == QLatin1String("EXIF:IFD1:Orientation")
        || key == QLatin1String("XMP:XMP-tiff:Orientation") || key == QLatin1String("PNG:ExifOrientation")
        || key == QLatin1String("PNG:TiffOrientation");
}

bool isComment(const QString &key)
{
    // A PNG's text under "Comment" goes with the comment, as viewers show it as one.
    return key == QLatin1String("EXIF:ExifIFD:UserComment") || key == QLatin1String("EXIF:IFD0:UserComment")
        || key == QLatin1String("XMP:XMP-exif:UserComment") || key == QLatin1String("File:Comment")
        || key == QLatin1String("PNG:Comment") || key == QLatin1String("PNG:ExifUserComment");
}

bool isXmp(const QString &key)
{
    return family0(key) == QLatin1String("XMP") || isXmpTextCopy(key);
}

bool isTextCopy(const QString &key)
{
    return isExifTextCopy(key) || isXmpTextCopy(key);
}

bool isXmpCopyOfExif(const QString &key)
{
    const QString f1 = family1(key);
    return f1 == QLatin1String("XMP-exif") || f1 == QLatin1String("XMP-exifEX")
        || f1 == QLatin1String("XMP-tiff");
}

// What the clear of general Exif may take: all of it but the GPS, the
// orientation, the user comment, a TIFF-based file's structure and a raw
// file's camera.
bool isGeneralExif(const QString &key, const Sample &sample)
{
    if (isGps(key) || isOrientation(key) || isComment(key))
        return false;
    if (isXmpCopyOfExif(key) || isExifTextCopy(key))
        return true;
    if (!isExif(key))
        return false;
    if (sample.tiffBased && family0(key) == QLatin1String("EXIF") && imageStructure.contains(tagName(key)))
        return false;
    if (sample.raw
        && (family0(key) == QLatin1String("MakerNotes") || key == QLatin1String("EXIF:IFD0:Make")
            || key == QLatin1String("EXIF:IFD0:Model")))
        return false;
    return true;
}

bool isPhotoTag(const QString &key, const Sample &sample)
{
    if (family0(key) != QLatin1String("EXIF") || isGps(key))
        return false;
    const QString name = tagName(key);
    if (name == QLatin1String("Make") || name == QLatin1String("Model"))
        return !sample.raw;
    return photoTags.contains(name);
}

// What a camera keeps of its own, in the maker note or in segments of its
// own beside the Exif, which a clear of the Exif takes but from a raw file.
bool isCameraData(const QString &key, const Sample &sample)
{
    return family0(key) == QLatin1String("MakerNotes") && !sample.raw;
}

// Whether the operation may take or change the tag.
bool mayChange(Operation operation, const QString &key, const Sample &sample, bool wasThere)
{
    const auto clears = [&](Operation clear) {
        switch (clear) {
        case Operation::ClearExif:
            // Outside TIFF-based files the thumbnail goes, with its orientation.
            return isGeneralExif(key, sample) || isThermalPosition(key)
                || (key == QLatin1String("EXIF:IFD1:Orientation") && !sample.tiffBased);
        case Operation::ClearOrientation:
            return isOrientation(key);
        case Operation::ClearGps:
            return isGps(key);
        case Operation::ClearComment:
            return isComment(key);
        case Operation::ClearIptc:
            return family0(key) == QLatin1String("IPTC");
        case Operation::ClearXmp:
            return isXmp(key);
        default:
            return false;
        }
    };
    switch (operation) {
    case Operation::Write:
        return writtenTags.contains(key) || (!wasThere && isExif(key) && requiredTags.contains(tagName(key)))
            || (wasThere && isCopyOfWritten(key)) || isProfileCopyOfWritten(key) || isRaisedVersion(key)
            || textCopiesOfWritten.contains(key);
    case Operation::WriteEmptying:
        if (writtenTags.contains(key) || isTextCopy(key))
            return true;
        if (family0(key) == QLatin1String("IPTC") || family0(key) == QLatin1String("XMP"))
            return true;
        return isExif(key)
            && (isGeneralExif(key, sample) || isGps(key) || isOrientation(key) || isComment(key));
    case Operation::ClearAll:
        return clears(Operation::ClearExif) || clears(Operation::ClearOrientation)
            || clears(Operation::ClearGps) || clears(Operation::ClearComment) || clears(Operation::ClearIptc)
            || clears(Operation::ClearXmp);
    default:
        return clears(operation);
    }
}

// Whether the tag must be gone after the operation.
bool mustGo(Operation operation, const QString &key, const Sample &sample)
{
    switch (operation) {
    case Operation::Write:
        return textCopiesOfWritten.contains(key);
    case Operation::WriteEmptying:
        return (isPhotoTag(key, sample) && !writtenTags.contains(key)) || isTextCopy(key);
    case Operation::ClearExif:
        return isPhotoTag(key, sample) || isCameraData(key, sample) || isThermalPosition(key)
            || ((isXmpCopyOfExif(key) || isExifTextCopy(key)) && !isGps(key) && !isOrientation(key)
                && !isComment(key));
    case Operation::ClearAll:
        return isPhotoTag(key, sample) || isCameraData(key, sample) || isGps(key) || isOrientation(key)
            || isComment(key) || isExifTextCopy(key) || family0(key) == QLatin1String("IPTC") || isXmp(key);
    default:
        return mayChange(operation, key, sample, true);
    }
}

// One value, whether a reader gives it as a list of one or not; numbers
// to a millionth.
bool sameValue(QJsonValue a, QJsonValue b)
{
    const auto single
        = [](QJsonValue v) { return v.isArray() && v.toArray().size() == 1 ? v.toArray().first() : v; };
    a = single(a);
    b = single(b);
    if (a.isDouble() && b.isDouble())
        return std::fabs(a.toDouble() - b.toDouble()) < 1e-6;
    return a == b && !a.isUndefined();
}

QString text(const QJsonValue &value)
{
    if (value.isUndefined())
        return QStringLiteral("(none)");
    QString shown = value.isString()
        ? value.toString()
        : QString::fromUtf8(QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact));
    return shown.left(120);
}

// How the library writes what it did not change, where that is not a loss,
// and what it cannot keep (the README names those).
bool isRewrittenForm(const QString &key, const QJsonValue &before, const QJsonValue &after,
    const Reading &original, const Reading &written, const Sample &sample)
{
    // A Photoshop digest of the IPTC that matched before matches after.
    if (key == QLatin1String("Photoshop:IPTCDigest")
        && before == original.value(QStringLiteral("File:CurrentIPTCDigest"))
        && after == written.value(QStringLiteral("File:CurrentIPTCDigest")))
        return true;
    // The strips a JPEG's first directory may not name, which the library
    // leaves out of the Exif of formats other than TIFF.
    if (!sample.tiffBased && key == QLatin1String("EXIF:IFD0:StripByteCounts") && after.isUndefined())
        return true;
    // IPTC texts that were UTF-8 without saying so read the same once the
    // write declared UTF-8 (exiftool read them as Windows Latin-1 before).
    const auto reread = [](const QJsonValue &v) {
        QStringEncoder windowsLatin1("windows-1252");
        return v.isString() ? QJsonValue(QString::fromUtf8(windowsLatin1.encode(v.toString()))) : v;
    };
    if (family0(key) == QLatin1String("IPTC") && !original.has(QStringLiteral("IPTC:CodedCharacterSet"))
        && written.has(QStringLiteral("IPTC:CodedCharacterSet"))) {
        if (before.isArray() && after.isArray()) {
            QJsonArray decoded;
            for (const QJsonValue &item : before.toArray())
                decoded << reread(item);
            if (decoded == after.toArray())
                return true;
        } else if (reread(before) == after) {
            return true;
        }
    }
    // The XMP toolkit moves an old packet's rdf:about into the instance ID,
    // and leaves out one that names no instance (a drone's "DJI Meta Data").
    const QString about = QStringLiteral("XMP:XMP-rdf:About");
    const QString instance = QStringLiteral("XMP:XMP-xmpMM:InstanceID");
    if ((key == about || key == instance) && written.value(instance) == original.value(about))
        return true;
    if (key == about && after.isUndefined())
        return true;
    // The XMP toolkit gives a GPS time of day the date of the photo, and
    // drops an empty structure's blanks, when it writes XMP again.
    if (key == QLatin1String("XMP:XMP-exif:GPSDateTime")
        && after.toString().endsWith(QLatin1Char(' ') + before.toString()))
        return true;
    if (family0(key) == QLatin1String("XMP") && before.isString() && before.toString().trimmed().isEmpty()
        && after.toString().isEmpty())
        return true;
    // A PGF file keeps its Exif in a text of the PNG that holds its
    // metadata; a thumbnail pointer past that Exif names bytes of the
    // picture after it, which move as the metadata before them grows.
    if (tagName(key) == QLatin1String("ThumbnailImage") && sample.name.endsWith(QLatin1String(".pgf")))
        return true;
    return false;
}

// Warnings that come from the sample's own faults, not from the operation.
bool isExpectedWarning(const QString &warning, const Reading &original)
{
    // A trailer that counts its offsets from the file's start stays byte
    // for byte where a write moves it.
    if (warning.contains(QLatin1String("Adjusted AFCP offsets")))
        return true;
    // A sample whose image data lies past its end: the library cannot copy it.
    static const QRegularExpression offsets(
        QStringLiteral("offset|past end of file|is zero"), QRegularExpression::CaseInsensitiveOption);
    return original.warnings.filter(QStringLiteral("past end of file")).size() > 0
        && offsets.match(warning).hasMatch();
}

struct Result
{
    Sample sample;
    OperationInfo operation;
    QString original;
    QString path;
    bool done = false;
    QStringList console;
    Shortfalls listed;
};

// The segments of a JPEG ahead of its image data that match.
int jpegSegments(
    const QString &path, const std::function<bool(uchar marker, const QByteArray &payload)> &match)
{
    const QByteArray file = bridgetest::fileBytes(path);
    if (!file.startsWith("\xff\xd8"))
        return 0;
    int count = 0;
    for (qsizetype at = 2; at + 4 <= file.size() && uchar(file[at]) == 0xff;) {
        const uchar marker = uchar(file[at + 1]);
        if (marker == 0xda)
            break;
        const qsizetype length = uchar(file[at + 2]) << 8 | uchar(file[at + 3]);
        count += match(marker, file.mid(at + 4, length - 2)) ? 1 : 0;
        at += 2 + length;
    }
    return count;
}

// Photoshop segments that each hold IPTC: the library takes the first's.
int photoshopIptcBlocks(const QString &path)
{
    return jpegSegments(path, [](uchar marker, const QByteArray &payload) {
        return marker == 0xed && payload.startsWith("Photoshop 3.0") && payload.contains("8BIM\x04\x04");
    });
}

// Whether the photo is listed for the value or the group, with the place
// the reason names.
bool isListed(const Result &result, const QString &keyOrChoice, const QString &place)
{
    return std::any_of(result.listed.begin(), result.listed.end(),
        [&](const Shortfall &s) { return s.key == keyOrChoice && s.reason.contains(place); });
}

// The rotation a camera keeps in its maker note, and what says none there.
bool isMakerNoteRotation(const QString &key)
{
    return family0(key) == QLatin1String("MakerNotes")
        && ((tagName(key) == QLatin1String("Rotation") && family1(key) != QLatin1String("NikonCapture"))
            || (tagName(key) == QLatin1String("AutoRotate") && family1(key) == QLatin1String("Canon")));
}
bool isNormalRotation(const QString &key, const QJsonValue &value)
{
    const int stored = value.toInt(-1);
    if (family1(key) == QLatin1String("Panasonic"))
        return stored == 1;
    if (family1(key) == QLatin1String("Minolta"))
        return stored == 72 || stored == 0;
    // Canon's says none, or that it does not know.
    if (family1(key) == QLatin1String("Canon"))
        return stored == 0 || stored == -1;
    return stored == 0;
}

// A value or a group that the operation names, kept where it cannot be
// reached, as the README says, and listed: XMP the library cannot parse (the
// clear says so), and what other programs keep where the standards do not
// (a comment or a copyright in a JPEG segment of their own, a maker note's
// IPTC, a DNG sub-image's own XMP).
bool isBeyondReach(const QString &key, const Result &result, const Reading &original)
{
    if (family0(key) == QLatin1String("XMP")
        && !result.console.filter(QStringLiteral("XMP cannot be read")).isEmpty())
        return true;
    const Operation operation = result.operation.operation;
    const bool writes = operation == Operation::Write || operation == Operation::WriteEmptying;
    const QString segment = QStringLiteral("segment");
    // exiftool shows another program's Unicode comment as the file's own.
    if (key == QLatin1String("File:Comment") || key == QLatin1String("Ducky:Comment"))
        return isListed(
            result, writes ? QStringLiteral("Exif.Photo.UserComment") : QStringLiteral("comment"), segment);
    if (key == QLatin1String("Ducky:Copyright"))
        return writes && isListed(result, QStringLiteral("Exif.Image.Copyright"), segment);
    // A camera's own segment that cannot be read, a trailer that holds more.
    if (family0(key) == QLatin1String("MakerNotes"))
        return !writes
            && (isListed(result, QStringLiteral("exif"), segment)
                || isListed(result, QStringLiteral("exif"), QStringLiteral("trailer")));
    // The IPTC a maker note or a trailer keeps.
    const QStringList iptcElsewhere = original.warnings.filter(QStringLiteral("Non-standard IPTC at"));
    if (family1(key) == QLatin1String("IPTC2") && !iptcElsewhere.isEmpty())
        return isListed(result,
            writes ? QStringLiteral("Iptc.Application2.") + tagName(key) : QStringLiteral("iptc"),
            iptcElsewhere.first().contains(QLatin1String("Trailer")) ? QStringLiteral("trailer")
                                                                     : QStringLiteral("maker note"));
    return family0(key) == QLatin1String("XMP")
        && !original.warnings.filter(QStringLiteral("Non-standard XMP at TIFF-IFD0-SubIFD")).isEmpty()
        && (family1(key) == QLatin1String("XMP-apdi")
            || family1(key) == QLatin1String("XMP-semanticSegmentationMatte"))
        && isListed(result, QStringLiteral("xmp"), QStringLiteral("sub-image"));
}

// The operations that cannot keep what a sample holds as every reader reads
// it, so that the photo is left as it was and listed, with the start of the
// reason. The maker note of the converted PNG names a preview directory past
// the end of the Exif the converter kept, where a write that adds a GPS
// directory lays bytes another reader takes for a directory. The check of
// the whole written file finds the rest: the DNG's picture lies past its
// end; an old Ricoh note's camera information keeps offsets that no longer
// name its values once the note moves. A row goes when a write keeps what it
// names.
struct LeftAsItWas
{
    const char *sample;
    std::initializer_list<Operation> operations;
    const char *reason;
};
const LeftAsItWas leftAsTheyWere[] = {
    { "imagemagick.png", { Operation::Write }, "the camera's data would not survive" },
    { "IMG_1361.dng",
        { Operation::Write, Operation::WriteEmptying, Operation::ClearExif, Operation::ClearOrientation,
            Operation::ClearGps, Operation::ClearAll },
        "the file is cut short" },
    { "Ricoh.jpg", { Operation::Write, Operation::ClearOrientation },
        "its maker note's value 0x0004 would change" },
};

const char *reasonLeftAsItWas(const Result &result)
{
    for (const LeftAsItWas &left : leftAsTheyWere) {
        if (result.sample.name == QLatin1String(left.sample)
            && std::find(left.operations.begin(), left.operations.end(), result.operation.operation)
                != left.operations.end())
            return left.reason;
    }
    return nullptr;
}

void compare(const Result &result, const Reading &original, const Reading &written,
    const QByteArray &pictureBefore, const QByteArray &pictureAfter)
{
    const Sample &sample = result.sample;
    const Operation operation = result.operation.operation;
    SCOPED_TRACE((sample.name + QStringLiteral(", ") + QLatin1String(result.operation.name)).toStdString());

    if (const char *reason = reasonLeftAsItWas(result)) {
        EXPECT_FALSE(result.done);
        EXPECT_FALSE(result.console.filter(QLatin1String(reason)).isEmpty())
            << result.console.join(u'\n').toStdString();
        EXPECT_TRUE(bridgetest::fileBytes(result.path) == bridgetest::fileBytes(result.original));
        return;
    }
    EXPECT_TRUE(result.done) << result.console.join(u'\n').toStdString();
    EXPECT_TRUE(result.console.filter(QStringLiteral("*** error")).isEmpty())
        << result.console.join(u'\n').toStdString();

    // A warning of the same kind on the same tag is the same fault, minor or
    // not, whatever its counts.
    const auto kind = [](QString warning) {
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        return warning.remove(QStringLiteral("[minor] ")).replace(digits, QStringLiteral("#"));
    };
    QStringList before;
    for (const QString &warning : original.warnings)
        before << kind(warning);
    QStringList newWarnings;
    for (const QString &warning : written.warnings) {
        if (!before.contains(kind(warning)) && !isExpectedWarning(warning, original))
            newWarnings << warning;
    }
    EXPECT_EQ(newWarnings, QStringList());

    QStringList keys = original.tags.keys() + written.tags.keys();
    keys.removeDuplicates();
    QStringList changed;
    QStringList left;
    for (const QString &key : keys) {
        if (isVolatile(key))
            continue;
        const QJsonValue before = original.value(key);
        const QJsonValue after = written.value(key);
        if (!after.isUndefined() && mustGo(operation, key, sample) && !isBeyondReach(key, result, original))
            left << key;
        if (before == after || mayChange(operation, key, sample, !before.isUndefined())
            || isRewrittenForm(key, before, after, original, written, sample))
            continue;
        // A write of the IPTC takes a later Photoshop segment's IPTC, which
        // other readers read instead of what the library wrote.
        if (family0(key) == QLatin1String("IPTC")
            && (operation == Operation::Write || operation == Operation::WriteEmptying)
            && photoshopIptcBlocks(result.original) > 1)
            continue;
        changed << QStringLiteral("%1: %2 -> %3").arg(key, text(before), text(after));
    }
    EXPECT_EQ(changed, QStringList());
    EXPECT_EQ(left, QStringList());
    EXPECT_EQ(pictureAfter, pictureBefore);

    // What follows the picture stays byte for byte.
    if (!original.warnings.filter(QStringLiteral("JPEG-Trailer")).isEmpty()) {
        const QByteArray was = bridgetest::fileBytes(result.original);
        const QByteArray trailer = was.mid(was.lastIndexOf("\xff\xd9") + 2);
        EXPECT_TRUE(bridgetest::fileBytes(result.path).endsWith(trailer));
    }

    // A maker note's own rotation stays; a clear of the orientation lists
    // the photo exactly when it says other than none.
    if (operation == Operation::ClearOrientation || operation == Operation::ClearAll) {
        const bool turned = std::any_of(keys.begin(), keys.end(), [&](const QString &key) {
            return isMakerNoteRotation(key) && written.has(key) && !isNormalRotation(key, written.value(key));
        });
        EXPECT_EQ(isListed(result, QStringLiteral("orientation"), QStringLiteral("maker note")), turned);
    }

    // A position a drone's XMP or a thermal camera's record keeps of its own
    // stays through a write of the position, which lists the photo for it.
    if (operation == Operation::Write) {
        const bool ownPosition = std::any_of(keys.begin(), keys.end(), [&](const QString &key) {
            return written.has(key) && isGps(key)
                && (family1(key) == QLatin1String("XMP-drone-dji") || isThermalPosition(key));
        });
        EXPECT_EQ(isListed(result, QStringLiteral("Exif.GPSInfo.GPSLatitude"),
                      QStringLiteral("keeps its position")),
            ownPosition);
    }

    // A clear that finds nothing it names leaves the file as it was.
    const QStringList held = original.tags.keys();
    const bool namesNothing = std::none_of(held.begin(), held.end(), [&](const QString &key) {
        return (family0(key) != QLatin1String("File") || key == QLatin1String("File:Comment"))
            && mayChange(operation, key, sample, true);
    });
    if (operation != Operation::Write && operation != Operation::WriteEmptying && namesNothing) {
        EXPECT_TRUE(bridgetest::fileBytes(result.path) == bridgetest::fileBytes(result.original));
    }

    if (operation == Operation::Write || operation == Operation::WriteEmptying) {
        // Every name a reader shows a written value by reads the new value,
        // is gone, or the photo is listed for it.
        QStringList older;
        for (const ShownAs &value : shownAs) {
            const bool notWritten
                = std::any_of(result.listed.begin(), result.listed.end(), [&](const Shortfall &s) {
                      return s.kind == Shortfall::Kind::NotWritten && s.key == QLatin1String(value.value);
                  });
            for (const QString &name : value.names) {
                if (!notWritten && written.has(name) && !sameValue(written.value(name), value.written)
                    && !isBeyondReach(name, result, original))
                    older << QStringLiteral("%1: %2").arg(name, text(written.value(name)));
            }
        }
        EXPECT_EQ(older, QStringList());
    }

    if (operation != Operation::Write)
        return;
    // Every XMP copy of a written value the file held reads as the Exif does;
    // a date's copy with the offset it had (UTC as "Z" where it was so
    // written), else the one the Exif records.
    if (result.console.filter(QStringLiteral("XMP cannot be read")).isEmpty()) {
        static const QRegularExpression offset(QStringLiteral("([+-]\\d\\d:\\d\\d|Z)$"));
        for (const auto &[exifKey, copyKey] : xmpCopies) {
            const QString copy = QLatin1String(copyKey);
            if (!original.has(copy))
                continue;
            QJsonValue expected = written.value(QLatin1String(exifKey));
            if (copy == QLatin1String("XMP:XMP-exif:DateTimeOriginal")) {
                const QRegularExpressionMatch own = offset.match(original.value(copy).toString());
                const QString zone = own.hasMatch()
                    ? own.captured()
                    : written.value(QStringLiteral("EXIF:ExifIFD:OffsetTimeOriginal")).toString();
                expected = expected.toString() + zone;
            }
            EXPECT_TRUE(sameValue(written.value(copy), expected))
                << copyKey << ": " << text(written.value(copy)).toStdString() << " but "
                << text(expected).toStdString();
        }
    }
    // What was written reads back in the second reader.
    if (sample.exif) {
        EXPECT_EQ(
            written.value(QStringLiteral("EXIF:IFD0:Artist")).toString(), QStringLiteral("Ada Lovelace"));
        EXPECT_NEAR(written.value(QStringLiteral("EXIF:GPS:GPSLatitude")).toDouble(), 48.8584, 1e-6);
    }
    if (sample.iptc) {
        EXPECT_EQ(written.value(QStringLiteral("IPTC:City")).toString(), QStringLiteral("Zürich"));
        EXPECT_EQ(written.value(QStringLiteral("IPTC:Keywords")),
            QJsonValue(QJsonArray { QStringLiteral("Smith, John"), QStringLiteral("Alps") }));
    }
    if (sample.xmp && result.console.filter(QStringLiteral("Xmp.aux.Lens not written")).isEmpty()) {
        EXPECT_EQ(written.value(QStringLiteral("XMP:XMP-aux:Lens")).toString(), QStringLiteral("50mm f/1.8"));
    }
}

// The maker note of a camera's raw file as a DNG converter keeps it in the
// DNG's private data: "Adobe", "MakN", the size, the byte order and the
// maker note's offset in its original file, then the maker note itself.
QByteArray privateDataOf(const QString &rawFile)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(rawFile).toStdString());
    image->readMetadata();
    const Exiv2::ExifData &exif = image->exifData();
    const auto makerNote = exif.findKey(Exiv2::ExifKey("Exif.Photo.MakerNote"));
    const auto offset = exif.findKey(Exiv2::ExifKey("Exif.MakerNote.Offset"));
    if (makerNote == exif.end() || offset == exif.end())
        return {};
    QByteArray bytes(makerNote->size(), Qt::Uninitialized);
    makerNote->copy(reinterpret_cast<Exiv2::byte *>(bytes.data()), image->byteOrder());
    const auto bigEndian = [](quint32 n) {
        const char bytes[] = { char(n >> 24), char(n >> 16 & 0xff), char(n >> 8 & 0xff), char(n & 0xff) };
        return QByteArray(bytes, 4);
    };
    return QByteArray("Adobe\0MakN", 10) + bigEndian(quint32(bytes.size() + 6))
        + (image->byteOrder() == Exiv2::bigEndian ? "MM" : "II") + bigEndian(quint32(offset->toLong(0)))
        + bytes;
}

// Camera photos no sample holds: a Canon note another program moved
// without its offsets, a thumbnail that runs past the Exif segment, a
// multi-picture JPEG, an entry of no TIFF type, and a thumbnail whose
// Exif segment another program cut short before it.
QStringList madeCameraSamples(const QString &folder)
{
    const QString images = testsupport::testDataDir() + QStringLiteral("/images/");
    const QString cameras = testsupport::testDataDir() + QStringLiteral("/cameras/");
    const QStringList made { folder + QStringLiteral("/moved-note.jpg"),
        folder + QStringLiteral("/thumbnail-past.jpg"), folder + QStringLiteral("/multi-picture.jpg"),
        folder + QStringLiteral("/no-type.jpg"), folder + QStringLiteral("/exif-cut-before-thumbnail.jpg") };
    const bool all = camerasamples::movedMakerNote(cameras + QStringLiteral("Canon1DmkIII.jpg"), made[0])
        && camerasamples::thumbnailPastExif(images + QStringLiteral("exiv2-sony-dsc-w7.jpg"), made[1], 6)
        && camerasamples::multiPicture(
            images + QStringLiteral("exiv2-canon-eos-20d.jpg"), images + QStringLiteral("table.jpg"), made[2])
        && camerasamples::entryOfNoType(images + QStringLiteral("exiv2-sony-dsc-w7.jpg"), made[3])
        && camerasamples::exifCutBeforeThumbnail(images + QStringLiteral("exiv2-canon-eos-20d.jpg"),
            images + QStringLiteral("FurnaceCreekInn.jpg"), made[4]);
    return all ? made : QStringList();
}

// Samples the test data lacks, made with exiftool in folder: a DNG whose
// camera maker note is in its private data, a JPEG whose XMP repeats its
// Exif values and its position in every place the standards give one, and
// one without a JFIF header whose small Exif holds only the orientation and
// the picture's resolution, which is its own.
QStringList madeSamples(const QString &folder)
{
    const QString images = testsupport::testDataDir() + QStringLiteral("/images/");
    const QString privateData = folder + QStringLiteral("/private-data.bin");
    QFile file(privateData);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(privateDataOf(images + QStringLiteral("CanonRaw.cr2"))) <= 0)
        return {};
    file.close();
    const QString dng = folder + QStringLiteral("/private-data.dng");
    const QString jpeg = folder + QStringLiteral("/xmp-copies.jpg");
    const QString small = folder + QStringLiteral("/small-exif.jpg");
    const bool made
        = secondreader::make({ QStringLiteral("-o"), dng, QStringLiteral("-DNGVersion=1.4.0.0"),
              QStringLiteral("-UniqueCameraModel=Canon EOS 20D"), QStringLiteral("-Make=Canon"),
              QStringLiteral("-Model=Canon EOS 20D"), QStringLiteral("-DNGAdobeData<=") + privateData,
              images + QStringLiteral("Reagan.tiff") })
        && secondreader::make({ QStringLiteral("-o"), jpeg, QStringLiteral("-Artist=Someone Else"),
            QStringLiteral("-DateTimeOriginal=2001:02:03 04:05:06"), QStringLiteral("-ISO=100"),
            QStringLiteral("-GPSLatitude=35.5598"), QStringLiteral("-GPSLatitudeRef=S"),
            QStringLiteral("-GPSLongitude=58.3816"), QStringLiteral("-GPSLongitudeRef=W"),
            QStringLiteral("-XMP-tiff:Artist=Someone Else"),
            QStringLiteral("-XMP-exif:DateTimeOriginal=2001:02:03 04:05:06"),
            QStringLiteral("-XMP-exif:ISO=100"), QStringLiteral("-XMP-exifEX:PhotographicSensitivity=100"),
            QStringLiteral("-XMP-exif:GPSLatitude=-35.5598"),
            QStringLiteral("-XMP-exif:GPSLongitude=-58.3816"),
            QStringLiteral("-XMP-iptcExt:LocationCreatedGPSLatitude=-35.5598"),
            QStringLiteral("-XMP-iptcExt:LocationCreatedGPSLongitude=-58.3816"),
            QStringLiteral("-XMP-iptcExt:LocationShownGPSLatitude=-35.5598"),
            QStringLiteral("-XMP-iptcExt:LocationShownGPSLongitude=-58.3816"),
            images + QStringLiteral("exiv2-empty.jpg") })
        && secondreader::make({ QStringLiteral("-o"), small, QStringLiteral("-JFIF:all="),
            QStringLiteral("-n"), QStringLiteral("-Orientation=6"), QStringLiteral("-XResolution=300"),
            QStringLiteral("-YResolution=300"), QStringLiteral("-ResolutionUnit=2"),
            QStringLiteral("-YCbCrPositioning=1"), images + QStringLiteral("exiv2-empty.jpg") });
    return made ? QStringList { dng, jpeg, small } : QStringList();
}

} // namespace

TEST(SecondReader, WritesAndClearsOfEverySampleKeepWhatTheyDoNotName)
{
    REQUIRE_TEST_DATA();
    ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";

    QTemporaryDir dir;
    QStringList sources;
    const QString images = testsupport::testDataDir() + QStringLiteral("/images/");
    for (const QString &name : QDir(images).entryList(QDir::Files, QDir::Name))
        sources << images + name;
    const QString cameras = testsupport::testDataDir() + QStringLiteral("/cameras/");
    for (const QString &name : QDir(cameras).entryList(QDir::Files, QDir::Name))
        sources << cameras + name;
    ASSERT_FALSE(sources.isEmpty());
    const QStringList made = madeSamples(dir.path());
    ASSERT_EQ(made.size(), 3);
    const QStringList cameraSamples = madeCameraSamples(dir.path());
    ASSERT_EQ(cameraSamples.size(), 5);
    sources << made << cameraSamples;

    QStringList paths;
    std::vector<Result> results;
    for (const QString &source : sources) {
        const QString name = QFileInfo(source).fileName();
        QDir(dir.path()).mkpath(QStringLiteral("original"));
        const QString original = dir.path() + QStringLiteral("/original/") + name;
        ASSERT_TRUE(QFile::copy(source, original));
        QFile::setPermissions(original, QFile::ReadOwner | QFile::WriteOwner);
        paths << original;
        const Sample sample = sampleOf(original);
        for (int i = 0; i < int(std::size(operations)); ++i) {
            const QString folder = dir.path() + QStringLiteral("/%1").arg(i);
            QDir().mkpath(folder);
            const QString path = folder + QLatin1Char('/') + name;
            ASSERT_TRUE(QFile::copy(original, path));
            bridgetest::ConsoleCapture console;
            Result result { sample, operations[i], original, path, false, {}, {} };
            result.done = run(operations[i].operation, path, &result.listed);
            result.console = console.errors();
            results.push_back(result);
            paths << path;
        }
    }

    const QHash<QString, Reading> readings = secondreader::readAll(paths);
    QHash<QString, QByteArray> pictures;
    for (const QString &path : paths)
        pictures.insert(path, secondreader::picture(path, readings.value(path)));
    for (const Result &result : results) {
        compare(result, readings.value(result.original), readings.value(result.path),
            pictures.value(result.original), pictures.value(result.path));
    }
}

namespace {

// Every key a write knows, a value for it and where exiftool finds it, as
// it reads it (numbers as numbers). The Compression goes into a PNG, as a
// JPEG may not hold it; all the others into one JPEG.
struct FieldCase
{
    const char *key;
    QVariant value;
    const char *readAs;
    QJsonValue expected;
};

const FieldCase fieldCases[] = {
    { "Exif.Image.Artist", QStringLiteral("An Artist"), "EXIF:IFD0:Artist", QStringLiteral("An Artist") },
    { "Exif.Image.ImageDescription", QStringLiteral("A description"), "EXIF:IFD0:ImageDescription",
        QStringLiteral("A description") },
    { "Exif.Image.Copyright", QStringLiteral("A copyright"), "EXIF:IFD0:Copyright",
        QStringLiteral("A copyright") },
    { "Exif.Image.Software", QStringLiteral("A program"), "EXIF:IFD0:Software", QStringLiteral("A program") },
    { "Exif.Photo.UserComment", QStringLiteral("A comment"), "EXIF:ExifIFD:UserComment",
        QStringLiteral("A comment") },
    { "Exif.Photo.DateTimeOriginal", QStringLiteral("2001:02:03 04:05:06"), "EXIF:ExifIFD:DateTimeOriginal",
        QStringLiteral("2001:02:03 04:05:06") },
    { "Exif.Photo.DateTimeDigitized", QStringLiteral("2002:03:04 05:06:07"), "EXIF:ExifIFD:CreateDate",
        QStringLiteral("2002:03:04 05:06:07") },
    { "Exif.Image.DateTime", QStringLiteral("2003:04:05 06:07:08"), "EXIF:IFD0:ModifyDate",
        QStringLiteral("2003:04:05 06:07:08") },
    { "Exif.Image.Make", QStringLiteral("A make"), "EXIF:IFD0:Make", QStringLiteral("A make") },
    { "Exif.Image.Model", QStringLiteral("A model"), "EXIF:IFD0:Model", QStringLiteral("A model") },
    { "Exif.Photo.CameraOwnerName", QStringLiteral("An owner"), "EXIF:ExifIFD:OwnerName",
        QStringLiteral("An owner") },
    { "Exif.Photo.BodySerialNumber", QStringLiteral("B-123"), "EXIF:ExifIFD:SerialNumber",
        QStringLiteral("B-123") },
    { "Exif.Photo.ISOSpeedRatings", QVariant::fromValue<qint64>(200), "EXIF:ExifIFD:ISO", 200 },
    { "Exif.Photo.FNumber", 2.8, "EXIF:ExifIFD:FNumber", 2.8 },
    { "Exif.Photo.FocalLength", 35.0, "EXIF:ExifIFD:FocalLength", 35 },
    { "Exif.Photo.FocalLengthIn35mmFilm", QVariant::fromValue<qint64>(52),
        "EXIF:ExifIFD:FocalLengthIn35mmFormat", 52 },
    { "Exif.Photo.Flash", QVariant::fromValue<qint64>(16), "EXIF:ExifIFD:Flash", 16 },
    { "Exif.Image.Orientation", QVariant::fromValue<qint64>(6), "EXIF:IFD0:Orientation", 6 },
    { "Exif.Photo.ExposureMode", QVariant::fromValue<qint64>(1), "EXIF:ExifIFD:ExposureMode", 1 },
    { "Exif.Photo.ExposureProgram", QVariant::fromValue<qint64>(3), "EXIF:ExifIFD:ExposureProgram", 3 },
    { "Exif.Photo.ExposureTime", 0.004, "EXIF:ExifIFD:ExposureTime", 0.004 },
    { "Exif.Photo.MeteringMode", QVariant::fromValue<qint64>(5), "EXIF:ExifIFD:MeteringMode", 5 },
    { "Exif.Photo.SceneCaptureType", QVariant::fromValue<qint64>(2), "EXIF:ExifIFD:SceneCaptureType", 2 },
    { "Exif.Photo.WhiteBalance", QVariant::fromValue<qint64>(1), "EXIF:ExifIFD:WhiteBalance", 1 },
    { "Exif.Photo.Saturation", QVariant::fromValue<qint64>(2), "EXIF:ExifIFD:Saturation", 2 },
    { "Exif.Photo.SensingMethod", QVariant::fromValue<qint64>(2), "EXIF:ExifIFD:SensingMethod", 2 },
    { "Exif.Photo.Sharpness", QVariant::fromValue<qint64>(1), "EXIF:ExifIFD:Sharpness", 1 },
    { "Exif.Photo.SubjectDistanceRange", QVariant::fromValue<qint64>(3), "EXIF:ExifIFD:SubjectDistanceRange",
        3 },
    { "Exif.Photo.LensMake", QStringLiteral("A lens maker"), "EXIF:ExifIFD:LensMake",
        QStringLiteral("A lens maker") },
    { "Exif.Photo.LensModel", QStringLiteral("A lens"), "EXIF:ExifIFD:LensModel", QStringLiteral("A lens") },
    { "Exif.Photo.LensSerialNumber", QStringLiteral("L-456"), "EXIF:ExifIFD:LensSerialNumber",
        QStringLiteral("L-456") },
    { "Exif.GPSInfo.GPSLatitude", 48.8584, "EXIF:GPS:GPSLatitude", 48.8584 },
    { "Exif.GPSInfo.GPSLatitudeRef", QStringLiteral("N"), "EXIF:GPS:GPSLatitudeRef", QStringLiteral("N") },
    { "Exif.GPSInfo.GPSLongitude", 2.2945, "EXIF:GPS:GPSLongitude", 2.2945 },
    { "Exif.GPSInfo.GPSLongitudeRef", QStringLiteral("E"), "EXIF:GPS:GPSLongitudeRef", QStringLiteral("E") },
    { "Exif.GPSInfo.GPSAltitude", 35.5, "EXIF:GPS:GPSAltitude", 35.5 },
    { "Exif.GPSInfo.GPSAltitudeRef", QVariant::fromValue<qint64>(1), "EXIF:GPS:GPSAltitudeRef", 1 },
    { "Iptc.Application2.DigitizationDate", QStringLiteral("2004-05-06"), "IPTC:DigitalCreationDate",
        QStringLiteral("2004:05:06") },
    { "Iptc.Application2.DigitizationTime", QStringLiteral("07:08:09+02:00"), "IPTC:DigitalCreationTime",
        QStringLiteral("07:08:09+02:00") },
    { "Iptc.Application2.DateCreated", QStringLiteral("2005-06-07"), "IPTC:DateCreated",
        QStringLiteral("2005:06:07") },
    { "Iptc.Application2.TimeCreated", QStringLiteral("08:09:10-05:00"), "IPTC:TimeCreated",
        QStringLiteral("08:09:10-05:00") },
    { "Iptc.Application2.Byline", QStringLiteral("A writer"), "IPTC:By-line", QStringLiteral("A writer") },
    { "Iptc.Application2.BylineTitle", QStringLiteral("A title"), "IPTC:By-lineTitle",
        QStringLiteral("A title") },
    { "Iptc.Application2.Copyright", QStringLiteral("A notice"), "IPTC:CopyrightNotice",
        QStringLiteral("A notice") },
    { "Iptc.Application2.Headline", QStringLiteral("A headline"), "IPTC:Headline",
        QStringLiteral("A headline") },
    { "Iptc.Application2.Caption", QStringLiteral("A caption"), "IPTC:Caption-Abstract",
        QStringLiteral("A caption") },
    { "Iptc.Application2.Writer", QStringLiteral("An editor"), "IPTC:Writer-Editor",
        QStringLiteral("An editor") },
    { "Iptc.Application2.ObjectName", QStringLiteral("An object"), "IPTC:ObjectName",
        QStringLiteral("An object") },
    { "Iptc.Application2.Category", QStringLiteral("ABC"), "IPTC:Category", QStringLiteral("ABC") },
    { "Iptc.Application2.SuppCategory", QStringLiteral("More"), "IPTC:SupplementalCategories",
        QStringLiteral("More") },
    { "Iptc.Application2.Keywords", QStringLiteral("One, Two"), "IPTC:Keywords",
        QJsonArray { QStringLiteral("One"), QStringLiteral("Two") } },
    { "Iptc.Application2.SubLocation", QStringLiteral("A corner"), "IPTC:Sub-location",
        QStringLiteral("A corner") },
    { "Iptc.Application2.City", QStringLiteral("A city"), "IPTC:City", QStringLiteral("A city") },
    { "Iptc.Application2.ProvinceState", QStringLiteral("A state"), "IPTC:Province-State",
        QStringLiteral("A state") },
    { "Iptc.Application2.CountryName", QStringLiteral("A country"), "IPTC:Country-PrimaryLocationName",
        QStringLiteral("A country") },
    { "Iptc.Application2.CountryCode", QStringLiteral("FRA"), "IPTC:Country-PrimaryLocationCode",
        QStringLiteral("FRA") },
    { "Iptc.Application2.TransmissionReference", QStringLiteral("T-789"),
        "IPTC:OriginalTransmissionReference", QStringLiteral("T-789") },
    { "Iptc.Application2.SpecialInstructions", QStringLiteral("Handle with care"), "IPTC:SpecialInstructions",
        QStringLiteral("Handle with care") },
    { "Iptc.Application2.Credit", QStringLiteral("A credit"), "IPTC:Credit", QStringLiteral("A credit") },
    { "Iptc.Application2.Source", QStringLiteral("A source"), "IPTC:Source", QStringLiteral("A source") },
    { "Xmp.aux.SerialNumber", QStringLiteral("X-1"), "XMP:XMP-aux:SerialNumber", QStringLiteral("X-1") },
    { "Xmp.aux.Lens", QStringLiteral("An XMP lens"), "XMP:XMP-aux:Lens", QStringLiteral("An XMP lens") },
    { "Xmp.xmp.CreateDate", QStringLiteral("2006:07:08 09:10:11"), "XMP:XMP-xmp:CreateDate",
        QStringLiteral("2006:07:08 09:10:11") },
    { "Xmp.xmp.ModifyDate", QStringLiteral("2007:08:09 10:11:12"), "XMP:XMP-xmp:ModifyDate",
        QStringLiteral("2007:08:09 10:11:12") },
    { "Xmp.photoshop.DateCreated", QStringLiteral("2008:09:10 11:12:13"), "XMP:XMP-photoshop:DateCreated",
        QStringLiteral("2008:09:10 11:12:13") },
    { "Exif.Image.Compression", QVariant::fromValue<qint64>(1), "EXIF:IFD0:Compression", 1 },
    { "Exif.Image.DocumentName", QStringLiteral("A document"), "EXIF:IFD0:DocumentName",
        QStringLiteral("A document") },
    { "Exif.Image.XResolution", 300.0, "EXIF:IFD0:XResolution", 300 },
    { "Exif.Image.YResolution", 301.0, "EXIF:IFD0:YResolution", 301 },
    { "Exif.Image.HostComputer", QStringLiteral("A host"), "EXIF:IFD0:HostComputer",
        QStringLiteral("A host") },
    { "Exif.Image.PrimaryChromaticities", 0.7, "EXIF:IFD0:PrimaryChromaticities",
        QStringLiteral("0.7 0.33 0.3 0.6 0.15 0.06") },
    { "Exif.Photo.SpectralSensitivity", QStringLiteral("Panchromatic"), "EXIF:ExifIFD:SpectralSensitivity",
        QStringLiteral("Panchromatic") },
    { "Exif.Photo.SensitivityType", QVariant::fromValue<qint64>(2), "EXIF:ExifIFD:SensitivityType", 2 },
    { "Exif.Photo.StandardOutputSensitivity", QVariant::fromValue<qint64>(400),
        "EXIF:ExifIFD:StandardOutputSensitivity", 400 },
    { "Exif.Photo.CompressedBitsPerPixel", 4.0, "EXIF:ExifIFD:CompressedBitsPerPixel", 4 },
    // Read as the aperture it stands for: 2 APEX is f/2.
    { "Exif.Photo.MaxApertureValue", 2.0, "EXIF:ExifIFD:MaxApertureValue", 2 },
    { "Exif.Photo.ColorSpace", QVariant::fromValue<qint64>(1), "EXIF:ExifIFD:ColorSpace", 1 },
    { "Exif.Photo.LightSource", QVariant::fromValue<qint64>(3), "EXIF:ExifIFD:LightSource", 3 },
    { "Exif.Photo.DigitalZoomRatio", 1.5, "EXIF:ExifIFD:DigitalZoomRatio", 1.5 },
};

} // namespace

TEST(SecondReader, EveryKeyAWriteKnowsReadsBackAsWritten)
{
    REQUIRE_TEST_DATA();
    ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";

    // The table here names every key the write table gives, no more.
    QStringList known;
    for (const std::string_view key : metadataTagKeys)
        known << QString::fromLatin1(key.data(), qsizetype(key.size()));
    QStringList named;
    for (const FieldCase &c : fieldCases)
        named << QLatin1String(c.key);
    known.sort();
    named.sort();
    EXPECT_EQ(named, known);

    QTemporaryDir dir;
    const QString images = testsupport::testDataDir() + QStringLiteral("/images/");
    const QString jpeg = dir.path() + QStringLiteral("/fields.jpg");
    const QString png = dir.path() + QStringLiteral("/fields.png");
    // The form edits the first of the six chromaticities the file holds.
    ASSERT_TRUE(secondreader::make(
        { QStringLiteral("-o"), jpeg, QStringLiteral("-PrimaryChromaticities=0.64 0.33 0.3 0.6 0.15 0.06"),
            images + QStringLiteral("exiv2-empty.jpg") }));
    ASSERT_TRUE(QFile::copy(images + QStringLiteral("1343_empty.png"), png));
    QFile::setPermissions(png, QFile::ReadOwner | QFile::WriteOwner);

    QVariantMap intoJpeg;
    QVariantMap intoPng;
    for (const FieldCase &c : fieldCases)
        (QLatin1String(c.key) == QLatin1String("Exif.Image.Compression") ? intoPng : intoJpeg)
            .insert(QLatin1String(c.key), c.value);
    bridgetest::ConsoleCapture console;
    const MetadataOperation bridge(engine::check::refusal);
    ASSERT_TRUE(bridge.setMetadata(jpeg, intoJpeg, false));
    ASSERT_TRUE(bridge.setMetadata(png, intoPng, false));
    EXPECT_EQ(console.errors(), QStringList());

    const QHash<QString, Reading> readings = secondreader::readAll({ jpeg, png });
    for (const FieldCase &c : fieldCases) {
        const Reading &reading = readings.value(intoPng.contains(QLatin1String(c.key)) ? png : jpeg);
        const QJsonValue found = reading.value(QLatin1String(c.readAs));
        EXPECT_TRUE(sameValue(found, c.expected) || found == c.expected)
            << c.key << " read as " << text(found).toStdString() << ", not "
            << text(c.expected).toStdString();
    }
}
