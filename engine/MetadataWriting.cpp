#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/datasets.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

namespace {

using namespace engine::bridge;

enum class Conversion { Text, Integer, Rational, Coordinate, Altitude };

struct WriteRow
{
    const char *key;
    Conversion conversion;
};

// The Exif keys that a write sets, in writing order.
constexpr WriteRow exifRows[] = {
    { "Exif.Image.Artist", Conversion::Text },
    { "Exif.Image.ImageDescription", Conversion::Text },
    { "Exif.Image.Copyright", Conversion::Text },
    { "Exif.Image.Software", Conversion::Text },
    { "Exif.Photo.UserComment", Conversion::Text },
    { "Exif.Photo.DateTimeOriginal", Conversion::Text },
    { "Exif.Photo.DateTimeDigitized", Conversion::Text },
    { "Exif.Image.DateTime", Conversion::Text },
    { "Exif.Image.Make", Conversion::Text },
    { "Exif.Image.Model", Conversion::Text },
    { "Exif.Photo.CameraOwnerName", Conversion::Text },
    { "Exif.Photo.BodySerialNumber", Conversion::Text },
    { "Exif.Photo.ISOSpeedRatings", Conversion::Integer },
    { "Exif.Photo.FNumber", Conversion::Rational },
    { "Exif.Photo.FocalLength", Conversion::Rational },
    { "Exif.Photo.FocalLengthIn35mmFilm", Conversion::Integer },
    { "Exif.Photo.Flash", Conversion::Integer },
    { "Exif.Image.Orientation", Conversion::Integer },
    { "Exif.Photo.ExposureMode", Conversion::Integer },
    { "Exif.Photo.ExposureProgram", Conversion::Integer },
    { "Exif.Photo.ExposureTime", Conversion::Rational },
    { "Exif.Photo.MeteringMode", Conversion::Integer },
    { "Exif.Photo.SceneCaptureType", Conversion::Integer },
    { "Exif.Photo.WhiteBalance", Conversion::Integer },
    { "Exif.Photo.Saturation", Conversion::Integer },
    { "Exif.Photo.SensingMethod", Conversion::Integer },
    { "Exif.Photo.Sharpness", Conversion::Integer },
    { "Exif.Photo.SubjectDistanceRange", Conversion::Integer },
    { "Exif.Photo.LensMake", Conversion::Text },
    { "Exif.Photo.LensModel", Conversion::Text },
    { "Exif.Photo.LensSerialNumber", Conversion::Text },
    { "Exif.Image.Compression", Conversion::Integer },
    { "Exif.Image.DocumentName", Conversion::Text },
    { "Exif.Image.XResolution", Conversion::Rational },
    { "Exif.Image.YResolution", Conversion::Rational },
    { "Exif.Image.HostComputer", Conversion::Text },
    { "Exif.Image.PrimaryChromaticities", Conversion::Rational },
    { "Exif.Photo.SpectralSensitivity", Conversion::Text },
    { "Exif.Photo.SensitivityType", Conversion::Integer },
    { "Exif.Photo.StandardOutputSensitivity", Conversion::Integer },
    { "Exif.Photo.CompressedBitsPerPixel", Conversion::Rational },
    { "Exif.Photo.MaxApertureValue", Conversion::Rational },
    { "Exif.Photo.ColorSpace", Conversion::Integer },
    { "Exif.Photo.LightSource", Conversion::Integer },
    { "Exif.Photo.DigitalZoomRatio", Conversion::Rational },
    { "Exif.GPSInfo.GPSLatitude", Conversion::Coordinate },
    { "Exif.GPSInfo.GPSLatitudeRef", Conversion::Text },
    { "Exif.GPSInfo.GPSLongitude", Conversion::Coordinate },
    { "Exif.GPSInfo.GPSLongitudeRef", Conversion::Text },
    { "Exif.GPSInfo.GPSAltitude", Conversion::Altitude },
    { "Exif.GPSInfo.GPSAltitudeRef", Conversion::Integer },
};

// The IPTC keys, all texts, in writing order.
constexpr const char *iptcKeys[] = {
    "Iptc.Application2.DigitizationDate",
    "Iptc.Application2.DigitizationTime",
    "Iptc.Application2.DateCreated",
    "Iptc.Application2.TimeCreated",
    "Iptc.Application2.Byline",
    "Iptc.Application2.BylineTitle",
    "Iptc.Application2.Copyright",
    "Iptc.Application2.Headline",
    "Iptc.Application2.Caption",
    "Iptc.Application2.Writer",
    "Iptc.Application2.ObjectName",
    "Iptc.Application2.Category",
    "Iptc.Application2.SuppCategory",
    "Iptc.Application2.Keywords",
    "Iptc.Application2.SubLocation",
    "Iptc.Application2.City",
    "Iptc.Application2.ProvinceState",
    "Iptc.Application2.CountryName",
    "Iptc.Application2.CountryCode",
    "Iptc.Application2.TransmissionReference",
    "Iptc.Application2.SpecialInstructions",
    "Iptc.Application2.Credit",
    "Iptc.Application2.Source",
};

// The XMP keys, all texts, in writing order; dates take the XMP form.
struct XmpRow
{
    const char *key;
    bool isDate;
};
constexpr XmpRow xmpRows[] = {
    { "Xmp.aux.SerialNumber", false },
    { "Xmp.aux.Lens", false },
    { "Xmp.xmp.CreateDate", true },
    { "Xmp.xmp.ModifyDate", true },
    { "Xmp.photoshop.DateCreated", true },
};

const QString userCommentKey = QStringLiteral("Exif.Photo.UserComment");

bool supports(const Exiv2::Image &image, Exiv2::MetadataId group)
{
    return image.checkMode(group) != Exiv2::amNone;
}

// The Exif value of one row, in the tag's own type; none when the number
// cannot be written (not finite, or too large for the file's format).
Exiv2::Value::AutoPtr exifValue(
    const WriteRow &row, Exiv2::TypeId type, const QVariant &given, Exiv2::ByteOrder byteOrder)
{
    switch (row.conversion) {
    case Conversion::Text:
        return textValue(type, textOf(given), byteOrder);
    case Conversion::Integer:
        if (const std::optional<qint32> number = integerOf(given))
            return integerValue(type, *number);
        return Exiv2::Value::AutoPtr();
    case Conversion::Rational:
        return rationalValue(type, realOf(given));
    case Conversion::Coordinate:
        if (const std::optional<QString> text = formatGpsCoordinate(realOf(given)))
            return textValue(type, *text, byteOrder);
        return Exiv2::Value::AutoPtr();
    case Conversion::Altitude:
        if (const std::optional<QString> text = formatHundredths(realOf(given)))
            return textValue(type, *text, byteOrder);
        return Exiv2::Value::AutoPtr();
    }
    return Exiv2::Value::AutoPtr();
}

void writeExif(Exiv2::ExifData &exif, const QVariantMap &values, Exiv2::ByteOrder byteOrder)
{
    for (const WriteRow &row : exifRows) {
        const auto given = values.constFind(QString::fromLatin1(row.key));
        if (given == values.constEnd())
            continue;
        const Exiv2::ExifKey key(row.key);
        const Exiv2::Value::AutoPtr value = exifValue(row, key.defaultTypeId(), *given, byteOrder);
        if (value.get() == nullptr)
            continue;
        if (auto datum = exif.findKey(key); datum != exif.end())
            datum->setValue(value.get());
        else
            exif.add(key, value.get());
    }
}

void eraseAll(Exiv2::IptcData &iptc, const Exiv2::IptcKey &key)
{
    for (auto datum = iptc.begin(); datum != iptc.end();) {
        if (datum->key() == key.key())
            datum = iptc.erase(datum);
        else
            ++datum;
    }
}

// Keywords and supplemental categories: one dataset per comma-separated item.
bool isListDataset(const Exiv2::IptcKey &key)
{
    return key.key() == "Iptc.Application2.Keywords" || key.key() == "Iptc.Application2.SuppCategory";
}

void writeIptcDataset(Exiv2::IptcData &iptc, const Exiv2::IptcKey &key, const QString &text)
{
    const Exiv2::TypeId type = Exiv2::IptcDataSets::dataSetType(key.tag(), key.record());
    if (isListDataset(key)) {
        eraseAll(iptc, key);
        for (const QString &item : text.split(QLatin1Char(','))) {
            if (const QString trimmed = item.trimmed(); !trimmed.isEmpty())
                iptc.add(key, textValue(type, trimmed, Exiv2::invalidByteOrder).get());
        }
        return;
    }
    const bool isDateOrTime = type == Exiv2::date || type == Exiv2::time;
    if (isDateOrTime && text.isEmpty()) {
        // An emptied date or time has no value; a zero date would be wrong.
        eraseAll(iptc, key);
        return;
    }
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    if (value->read(text.toUtf8().toStdString()) != 0 && isDateOrTime)
        return; // Not a date or time: the file keeps what it has.
    if (auto datum = iptc.findKey(key); datum != iptc.end())
        datum->setValue(value.get());
    else
        iptc.add(key, value.get());
}

void writeIptc(Exiv2::IptcData &iptc, const QVariantMap &values)
{
    for (const char *name : iptcKeys) {
        const auto given = values.constFind(QString::fromLatin1(name));
        if (given != values.constEnd())
            writeIptcDataset(iptc, Exiv2::IptcKey(name), textOf(*given));
    }
}

void writeXmp(Exiv2::XmpData &xmp, const QVariantMap &values)
{
    for (const XmpRow &row : xmpRows) {
        const auto given = values.constFind(QString::fromLatin1(row.key));
        if (given == values.constEnd())
            continue;
        const QString text = textOf(*given);
        xmp[row.key] = (row.isDate ? xmpDateText(text) : text).toUtf8().toStdString();
    }
}

} // namespace

bool MetadataOperation::setMetadata(const QString &path, const QVariantMap &values, bool empty) const
{
    initializeExiv2();
    return runGuarded([&] {
        Exiv2::Image::AutoPtr image = openForEditing(path);
        Exiv2::ExifData exif;
        Exiv2::IptcData iptc;
        Exiv2::XmpData xmp;
        if (!empty) {
            exif = image->exifData();
            iptc = image->iptcData();
            xmp = image->xmpData();
        }

        if (supports(*image, Exiv2::mdExif)) {
            writeExif(exif, values, image->byteOrder());
            image->setExifData(exif);
            const auto comment = values.constFind(userCommentKey);
            if (comment != values.constEnd() && supports(*image, Exiv2::mdComment))
                image->setComment(textOf(*comment).toUtf8().toStdString());
        }
        if (supports(*image, Exiv2::mdIptc)) {
            writeIptc(iptc, values);
            image->setIptcData(iptc);
        }
        if (supports(*image, Exiv2::mdXmp)) {
            writeXmp(xmp, values);
            image->setXmpData(xmp);
        }
        saveEdits(*image, path);
    });
}
