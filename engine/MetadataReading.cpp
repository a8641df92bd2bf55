// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "engine/IptcTexts.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <QStringDecoder>

namespace {

using engine::bridge::textFromBytes;
using engine::bridge::undeclaredText;

double quotient(const Exiv2::Rational &r)
{
    return static_cast<double>(r.first) / static_cast<double>(r.second);
}

// A comment's own text, without its character set code. A UNICODE one is
// UTF-16 in the byte order of its BOM, else of its file: UCS-2 as the
// standard says, but a character beyond U+FFFF is a surrogate pair.
QString commentText(const Exiv2::CommentValue &comment)
{
    if (comment.charsetId() != Exiv2::CommentValue::unicode)
        return undeclaredText(comment.comment());
    QByteArray bytes = QByteArray::fromStdString(comment.value_).mid(8);
    QStringConverter::Encoding encoding
        = comment.byteOrder_ == Exiv2::bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE;
    if (bytes.startsWith("\xef\xbb\xbf"))
        return undeclaredText(bytes.mid(3).toStdString());
    if (bytes.startsWith("\xfe\xff") || bytes.startsWith("\xff\xfe")) {
        encoding = bytes.startsWith("\xfe") ? QStringConverter::Utf16BE : QStringConverter::Utf16LE;
        bytes.remove(0, 2);
    }
    QString text = QStringDecoder(encoding).decode(bytes);
    // Padding and terminators.
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

// The entry of one datum by its value's type; none for a skipped datum.
std::optional<QVariant> entryByType(const Exiv2::Metadatum &datum)
{
    const Exiv2::Value &value = datum.value();
    // A comment (its type is undefined) is its own text, without its
    // "charset=..." prefix.
    if (const auto *comment = dynamic_cast<const Exiv2::CommentValue *>(&value))
        return commentText(*comment);
    const Exiv2::TypeId type = value.typeId();
    // Undefined bytes are text as far as a person reads them; byte strings
    // give no single value.
    if (std::optional<QString> binary = engine::bridge::binaryValueText(value);
        binary && type == Exiv2::undefined)
        return *binary;
    switch (type) {
    case Exiv2::asciiString:
        // Exif texts declare no character set.
        return undeclaredText(value.toString());
    case Exiv2::comment:
    case Exiv2::undefined:
    case Exiv2::string:
    case Exiv2::date:
    case Exiv2::time:
    case Exiv2::xmpText:
    case Exiv2::langAlt:
        return textFromBytes(value.toString());
    case Exiv2::unsignedShort:
    case Exiv2::unsignedLong:
    case Exiv2::signedShort:
    case Exiv2::signedLong:
    case Exiv2::unsignedLongLong:
    case Exiv2::signedLongLong:
    case Exiv2::tiffDouble:
        if (value.count() <= 0)
            return std::nullopt;
        return QVariant::fromValue<qint64>(value.toLong(0));
    case Exiv2::unsignedRational:
    case Exiv2::signedRational:
        if (value.count() <= 0)
            return std::nullopt;
        return QVariant(quotient(value.toRational(0)));
    case Exiv2::tiffFloat:
        if (value.count() <= 0)
            return std::nullopt;
        return QVariant(value.toFloat(0));
    case Exiv2::unsignedByte:
    case Exiv2::signedByte:
        // A number some writers store in a byte (a sensing method, say);
        // byte strings (versions, UCS-2 titles) give no single value.
        if (value.count() != 1)
            return std::nullopt;
        return QVariant::fromValue<qint64>(value.toLong(0));
    default:
        // Directories and XMP arrays give no single value.
        return std::nullopt;
    }
}

// Degrees, minutes and seconds as one number of degrees, without a sign.
double coordinate(const Exiv2::Exifdatum &datum)
{
    if (datum.count() != 3)
        return 0.0;
    const Exiv2::Rational degrees = datum.toRational(0);
    if (degrees.second == 0)
        return 0.0;
    double sum = quotient(degrees);
    const Exiv2::Rational minutes = datum.toRational(1);
    if (minutes.second == 0)
        return sum;
    if (const double q = quotient(minutes); q != -1.0)
        sum += q / 60.0;
    const Exiv2::Rational seconds = datum.toRational(2);
    if (seconds.second == 0)
        return sum;
    if (const double q = quotient(seconds); q != -1.0)
        sum += q / 3600.0;
    return sum;
}

double altitudeReference(const Exiv2::Exifdatum &datum)
{
    if (datum.count() == 0)
        return 0.0;
    const Exiv2::Rational r = datum.toRational(0);
    return r.second == 0 ? 0.0 : quotient(r);
}

// An IPTC datum's entry: its text in the character set the IPTC declares.
std::optional<QVariant> iptcEntry(const Exiv2::Iptcdatum &datum, bool markedUtf8)
{
    if (datum.typeId() == Exiv2::string)
        return engine::bridge::iptcText(datum.toString(), markedUtf8);
    return entryByType(datum);
}

} // namespace

std::optional<QVariantMap> MetadataOperation::getMetadata(const QString &path) const
{
    initializeExiv2();
    QVariantMap entries;
    const bool read = engine::bridge::runGuarded([&] {
        const auto opened = engine::bridge::openForReading(path);
        Exiv2::Image &image = *opened.image;

        for (const Exiv2::Exifdatum &datum : image.exifData()) {
            const std::string key = datum.key();
            std::optional<QVariant> entry;
            if (key == "Exif.GPSInfo.GPSLatitude" || key == "Exif.GPSInfo.GPSLongitude")
                entry = coordinate(datum);
            else if (key == "Exif.GPSInfo.GPSAltitudeRef")
                entry = altitudeReference(datum);
            else
                entry = entryByType(datum);
            if (entry)
                entries.insert(textFromBytes(key), *entry);
        }

        // A repeatable dataset's entry lists every item, in file order.
        const Exiv2::IptcData &iptc = image.iptcData();
        const bool markedUtf8 = engine::bridge::isMarkedUtf8(iptc);
        QMap<QString, QStringList> items;
        for (const Exiv2::Iptcdatum &datum : iptc) {
            const std::optional<QVariant> entry = iptcEntry(datum, markedUtf8);
            if (!entry)
                continue;
            const QString name = textFromBytes(datum.key());
            if (engine::bridge::isRepeatable(Exiv2::IptcKey(datum.key()))
                && entry->typeId() == QMetaType::QString)
                items[name] << entry->toString();
            else
                entries.insert(name, *entry);
        }
        for (auto list = items.cbegin(); list != items.cend(); ++list)
            entries.insert(list.key(), engine::bridge::joinedItems(*list));

        for (const Exiv2::Xmpdatum &datum : image.xmpData()) {
            if (std::optional<QVariant> entry = entryByType(datum))
                entries.insert(textFromBytes(datum.key()), *entry);
        }
    });
    if (!read)
        return std::nullopt;
    return entries;
}
