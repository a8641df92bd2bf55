// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "engine/ImageStructure.h"
#include "engine/IptcTexts.h"
#include "engine/WriteReport.h"
#include "engine/XmpPacket.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/datasets.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <vector>

namespace {

using namespace engine::bridge;

enum class Conversion { Text, Date, Integer, Rational, Coordinate, Altitude };

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
    { "Exif.Photo.DateTimeOriginal", Conversion::Date },
    { "Exif.Photo.DateTimeDigitized", Conversion::Date },
    { "Exif.Image.DateTime", Conversion::Date },
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
const std::string makeKey = "Exif.Image.Make";
const std::string modelKey = "Exif.Image.Model";
const std::string compressionKey = "Exif.Image.Compression";
const std::string chromaticitiesKey = "Exif.Image.PrimaryChromaticities";
const QString noPlace = QStringLiteral("the file format has no place for it");

// A null entry asks to remove the key, as does an empty date.
bool isRemoval(const QVariant &given)
{
    return !given.isValid();
}

bool isEmptyText(const QVariant &given)
{
    return given.typeId() == QMetaType::QString && given.toString().isEmpty();
}

template <typename Container, typename Key> void eraseAll(Container &container, const Key &key)
{
    for (auto datum = container.begin(); datum != container.end();)
        datum = datum->key() == key.key() ? container.erase(datum) : std::next(datum);
}

const char *keyOf(const WriteRow &row)
{
    return row.key;
}
const char *keyOf(const char *name)
{
    return name;
}
const char *keyOf(const XmpRow &row)
{
    return row.key;
}

// The keys of a group's rows that the values give.
template <typename Rows> std::vector<const char *> givenKeys(const QVariantMap &values, const Rows &rows)
{
    std::vector<const char *> keys;
    for (const auto &row : rows) {
        if (values.contains(QString::fromLatin1(keyOf(row))))
            keys.push_back(keyOf(row));
    }
    return keys;
}

template <typename Rows>
void refuseAll(WriteReport &report, const QVariantMap &values, const Rows &rows, const QString &reason)
{
    for (const char *key : givenKeys(values, rows))
        report.refuse(key, reason);
}

// The Exif value of one row, in the tag's own type; none when the number
// cannot be written (not finite, or too large for the file's format).
Exiv2::Value::AutoPtr exifValue(
    const WriteRow &row, Exiv2::TypeId type, const QVariant &given, Exiv2::ByteOrder byteOrder)
{
    switch (row.conversion) {
    case Conversion::Text:
    case Conversion::Date:
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

QString exifText(const Exiv2::Exifdatum &datum)
{
    return textFromBytes(datum.toString()).trimmed();
}

// A maker note is laid out for its make and read for its model: once the
// make changes, the library no longer writes it where readers look for it,
// and readers decode it by the model.
bool changesCameraUnderMakerNote(const Exiv2::ExifData &exif, const std::string &key, const QVariant &given)
{
    if ((key != makeKey && key != modelKey) || !hasMakerNote(exif))
        return false;
    const auto current = exif.findKey(Exiv2::ExifKey(key));
    if (isRemoval(given) || current == exif.end())
        return true;
    return exifText(*current) != textOf(given).trimmed();
}

// The one number the form edits is the first of the tag's six (the red x).
const Exiv2::Exifdatum *sixChromaticities(const Exiv2::ExifData &exif)
{
    const auto found = exif.findKey(Exiv2::ExifKey(chromaticitiesKey));
    return found != exif.end() && found->count() == 6 ? &*found : nullptr;
}

std::optional<QString> refusalOf(
    const std::string &key, const QVariant &given, const Exiv2::ExifData &exif, const ImageKind &kind)
{
    if (changesCameraUnderMakerNote(exif, key, given))
        return QStringLiteral("the maker note depends on it and would no longer be readable");
    if (isRemoval(given))
        return std::nullopt;
    if (key == compressionKey && kind.jpeg)
        return QStringLiteral("a JPEG file may not hold it");
    if (key == chromaticitiesKey && !sixChromaticities(exif))
        return QStringLiteral("the tag holds six values and the file has none to keep");
    return std::nullopt;
}

Exiv2::Value::AutoPtr withFirstChromaticity(const Exiv2::Exifdatum &six, const Exiv2::Value &first)
{
    std::string text = first.toString(0);
    for (long i = 1; i < six.count(); ++i)
        text += ' ' + six.value().toString(i);
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(six.typeId());
    value->read(text);
    return value;
}

void writeExif(Exiv2::ExifData &exif, const QVariantMap &values, Exiv2::ByteOrder byteOrder,
    const ImageKind &kind, WriteReport &report)
{
    for (const WriteRow &row : exifRows) {
        const auto given = values.constFind(QString::fromLatin1(row.key));
        if (given == values.constEnd())
            continue;
        const Exiv2::ExifKey key(row.key);
        if (const std::optional<QString> refusal = refusalOf(row.key, *given, exif, kind)) {
            report.refuse(row.key, *refusal);
            continue;
        }
        if (isRemoval(*given) || (row.conversion == Conversion::Date && isEmptyText(*given))) {
            eraseAll(exif, key);
            continue;
        }
        Exiv2::Value::AutoPtr value = exifValue(row, key.defaultTypeId(), *given, byteOrder);
        if (value.get() == nullptr) {
            report.refuse(row.key, QStringLiteral("not a number the tag can hold"));
            continue;
        }
        if (row.key == chromaticitiesKey)
            value = withFirstChromaticity(*sixChromaticities(exif), *value);
        if (auto datum = exif.findKey(key); datum != exif.end())
            datum->setValue(value.get());
        else
            exif.add(key, value.get());
    }
}

void writeIptcDataset(Exiv2::IptcData &iptc, const Exiv2::IptcKey &key, const QString &text)
{
    const Exiv2::TypeId type = Exiv2::IptcDataSets::dataSetType(key.tag(), key.record());
    if (isRepeatable(key)) {
        eraseAll(iptc, key);
        for (const QString &item : splitItems(text))
            iptc.add(key, textValue(type, item, Exiv2::invalidByteOrder).get());
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

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

void writeIptc(Exiv2::IptcData &iptc, const QVariantMap &values)
{
    const bool writesUtf8 = std::any_of(std::begin(iptcKeys), std::end(iptcKeys), [&](const char *name) {
        const QVariant given = values.value(QString::fromLatin1(name));
        return !isRemoval(given) && !isAscii(textOf(given));
    });
    if (writesUtf8)
        declareUtf8(iptc);
    for (const char *name : iptcKeys) {
        const auto given = values.constFind(QString::fromLatin1(name));
        if (given == values.constEnd())
            continue;
        if (isRemoval(*given))
            eraseAll(iptc, Exiv2::IptcKey(name));
        else
            writeIptcDataset(iptc, Exiv2::IptcKey(name), textOf(*given));
    }
}

void writeXmp(Exiv2::XmpData &xmp, const QVariantMap &values)
{
    for (const XmpRow &row : xmpRows) {
        const auto given = values.constFind(QString::fromLatin1(row.key));
        if (given == values.constEnd())
            continue;
        if (isRemoval(*given) || (row.isDate && isEmptyText(*given))) {
            eraseAll(xmp, Exiv2::XmpKey(row.key));
            continue;
        }
        const QString text = textOf(*given);
        xmp[row.key] = (row.isDate ? xmpDateText(text) : text).toUtf8().toStdString();
    }
}

template <typename Rows>
void expectAll(WriteReport &report, const QVariantMap &values, const Rows &rows, const Exiv2::Image &image)
{
    for (const char *key : givenKeys(values, rows))
        report.expect(key, image);
}

void setExif(
    Exiv2::Image &image, const QVariantMap &values, bool empty, const ImageKind &kind, WriteReport &report)
{
    Exiv2::ExifData exif = image.exifData();
    if (empty) {
        // What the picture itself needs stays, as a clear of the Exif keeps it.
        for (auto datum = exif.begin(); datum != exif.end();)
            datum = isKeptByClear(*datum, kind) ? std::next(datum) : exif.erase(datum);
    }
    const Exiv2::ExifData before = exif;
    writeExif(exif, values, image.byteOrder(), kind, report);
    if (empty)
        dropIdleTags(exif, image.exifData(), kind);
    addRequiredTags(exif, before, image, kind);
    image.setExifData(exif);

    const auto comment = values.constFind(userCommentKey);
    if (comment == values.constEnd() || !supports(image, Exiv2::mdComment))
        return;
    if (isRemoval(*comment))
        image.clearComment();
    else
        image.setComment(textOf(*comment).toUtf8().toStdString());
}

void setXmp(Exiv2::Image &image, const QVariantMap &values, bool empty, WriteReport &report)
{
    if (!empty && givenKeys(values, xmpRows).empty()) {
        keepXmpAsItIs(image);
        return;
    }
    if (!empty && hasUnreadableXmp(image)) {
        // Writing would replace what the library cannot read with only these.
        refuseAll(
            report, values, xmpRows, QStringLiteral("the file's XMP cannot be read, so it stays as it is"));
        keepXmpAsItIs(image);
        return;
    }
    Exiv2::XmpData xmp;
    if (!empty)
        xmp = image.xmpData();
    writeXmp(xmp, values);
    removeXmp(image);
    image.setXmpData(xmp);
}

} // namespace

bool MetadataOperation::setMetadata(
    const QString &path, const QVariantMap &values, bool empty, const Destination &into) const
{
    initializeExiv2();
    return runGuarded([&] {
        const EditedImage edited = openForEditing(path);
        Exiv2::Image *image = edited.image.get();
        const ImageKind kind = imageKind(*image);
        WriteReport report(path);

        if (supports(*image, Exiv2::mdExif))
            setExif(*image, values, empty, kind, report);
        else
            refuseAll(report, values, exifRows, noPlace);

        if (supports(*image, Exiv2::mdIptc)) {
            Exiv2::IptcData iptc;
            if (!empty)
                iptc = image->iptcData();
            writeIptc(iptc, values);
            image->setIptcData(iptc);
        } else {
            refuseAll(report, values, iptcKeys, noPlace);
        }

        if (supports(*image, Exiv2::mdXmp))
            setXmp(*image, values, empty, report);
        else
            refuseAll(report, values, xmpRows, noPlace);

        expectAll(report, values, exifRows, *image);
        expectAll(report, values, iptcKeys, *image);
        expectAll(report, values, xmpRows, *image);
        const IptcContent iptc
            = empty || !givenKeys(values, iptcKeys).empty() ? IptcContent::Changed : IptcContent::Kept;
        saveEdits(
            edited, path, iptc, [&report](const Exiv2::Image &written) { report.check(written); }, into);
        report.print();
    });
}
