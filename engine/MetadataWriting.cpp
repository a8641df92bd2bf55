// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "engine/CopiesLeftAlone.h"
#include "engine/FileDates.h"
#include "engine/FormatName.h"
#include "engine/ImageStructure.h"
#include "engine/IptcAsRead.h"
#include "engine/IptcTexts.h"
#include "engine/MetadataTag.h"
#include "engine/MisplacedExif.h"
#include "engine/WriteReport.h"
#include "engine/XmpCopies.h"
#include "engine/XmpPacket.h"
#include "engine/carry/PngTextCopies.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/datasets.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <vector>

namespace {

using namespace engine::bridge;

enum class Group { Exif, Iptc, Xmp };

// The keys a write knows: those of the tag table, in its order.
struct WriteKey
{
    std::string key;
    WriteConversion conversion;
};

std::vector<WriteKey> writeKeys(Group group)
{
    static const char *const prefixes[] = { "Exif.", "Iptc.", "Xmp." };
    std::vector<WriteKey> keys;
    for (int t = 0; t < metadataTagCount; ++t) {
        const std::string_view key = metadataTagKeys[std::size_t(t)];
        if (key.starts_with(prefixes[int(group)]))
            keys.push_back({ std::string(key), tagConversion(MetadataTag(t)) });
    }
    return keys;
}

const QString userCommentKey = QStringLiteral("Exif.Photo.UserComment");
const std::string makeKey = "Exif.Image.Make";
const std::string modelKey = "Exif.Image.Model";
const std::string compressionKey = "Exif.Image.Compression";
const std::string chromaticitiesKey = "Exif.Image.PrimaryChromaticities";

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

// The keys of a group that the values give.
std::vector<WriteKey> givenKeys(const QVariantMap &values, Group group)
{
    std::vector<WriteKey> given;
    for (const WriteKey &key : writeKeys(group)) {
        if (values.contains(QString::fromStdString(key.key)))
            given.push_back(key);
    }
    return given;
}

void refuseAll(WriteReport &report, const QVariantMap &values, Group group, const QString &reason)
{
    for (const WriteKey &key : givenKeys(values, group))
        report.refuse(key.key, reason);
}

// The given values of a group the format does not hold.
void refuseGroup(WriteReport &report, const QVariantMap &values, Group group, const QString &format)
{
    static const char *const names[] = { "Exif", "IPTC", "XMP" };
    refuseAll(report, values, group,
        QStringLiteral("%1 files have no place for %2 values").arg(format, QLatin1String(names[int(group)])));
}

// The Exif value of one key, in the tag's own type; none, and why, when
// the tag's type cannot hold the number.
Exiv2::Value::AutoPtr exifValue(const WriteKey &key, Exiv2::TypeId type, const QVariant &given,
    Exiv2::ByteOrder byteOrder, QString *whyNot)
{
    switch (key.conversion) {
    case WriteConversion::Text:
    case WriteConversion::Date:
        return textValue(type, textOf(given), byteOrder);
    case WriteConversion::Integer:
        if (const std::optional<qint64> number = integerOf(given))
            return integerValue(type, *number, whyNot);
        *whyNot = QStringLiteral("not a number");
        return Exiv2::Value::AutoPtr();
    case WriteConversion::Rational:
        return rationalValue(type, realOf(given), whyNot);
    case WriteConversion::Coordinate:
        if (const std::optional<QString> text = formatGpsCoordinate(realOf(given)))
            return textValue(type, *text, byteOrder);
        break;
    case WriteConversion::Altitude:
        if (const std::optional<QString> text = formatHundredths(realOf(given)))
            return textValue(type, *text, byteOrder);
        break;
    }
    *whyNot = QStringLiteral("%1 is not a number its tag can hold").arg(QString::number(realOf(given)));
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

// Another program's copy of the value in another directory follows it.
void bringMisplacedCopiesInStep(Exiv2::ExifData &exif, const Exiv2::ExifKey &key, const Exiv2::Value *value)
{
    for (auto datum = exif.begin(); datum != exif.end();) {
        if (!isMisplacedCopy(*datum, key)) {
            ++datum;
        } else if (!value) {
            datum = exif.erase(datum);
        } else {
            datum->setValue(value);
            ++datum;
        }
    }
}

// Writes the given Exif values; the keys it set or removed.
std::vector<std::string> writeExif(Exiv2::ExifData &exif, const QVariantMap &values,
    Exiv2::ByteOrder byteOrder, const ImageKind &kind, WriteReport &report)
{
    std::vector<std::string> written;
    for (const WriteKey &row : givenKeys(values, Group::Exif)) {
        const QVariant given = values.value(QString::fromStdString(row.key));
        const Exiv2::ExifKey key(row.key);
        if (const std::optional<QString> refusal = refusalOf(row.key, given, exif, kind)) {
            report.refuse(row.key, *refusal);
            continue;
        }
        if (isRemoval(given) || (row.conversion == WriteConversion::Date && isEmptyText(given))) {
            eraseAll(exif, key);
            bringMisplacedCopiesInStep(exif, key, nullptr);
            written.push_back(row.key);
            continue;
        }
        QString whyNot;
        Exiv2::Value::AutoPtr value = exifValue(row, key.defaultTypeId(), given, byteOrder, &whyNot);
        if (value.get() == nullptr) {
            report.refuse(row.key, whyNot);
            continue;
        }
        if (row.key == chromaticitiesKey)
            value = withFirstChromaticity(*sixChromaticities(exif), *value);
        if (auto datum = exif.findKey(key); datum != exif.end())
            datum->setValue(value.get());
        else
            exif.add(key, value.get());
        bringMisplacedCopiesInStep(exif, key, value.get());
        written.push_back(row.key);
    }
    return written;
}

// A text longer than its dataset holds is cut at the limit.
QString fitted(const Exiv2::IptcKey &key, const QString &text, WriteReport &report)
{
    const std::optional<long> limit = datasetLimit(key);
    if (!limit || text.toUtf8().size() <= *limit)
        return text;
    report.shorten(key.key(), *limit);
    return cutToBytes(text, *limit);
}

void writeIptcDataset(
    Exiv2::IptcData &iptc, const Exiv2::IptcKey &key, const QString &text, WriteReport &report)
{
    const Exiv2::TypeId type = Exiv2::IptcDataSets::dataSetType(key.tag(), key.record());
    if (isRepeatable(key)) {
        eraseAll(iptc, key);
        for (const QString &item : splitItems(text))
            iptc.add(key, textValue(type, fitted(key, item, report), Exiv2::invalidByteOrder).get());
        return;
    }
    const bool isDateOrTime = type == Exiv2::date || type == Exiv2::time;
    if (isDateOrTime && text.isEmpty()) {
        // An emptied date or time has no value; a zero date would be wrong.
        eraseAll(iptc, key);
        return;
    }
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    const QString written = isDateOrTime ? text : fitted(key, text, report);
    if (value->read(written.toUtf8().toStdString()) != 0 && isDateOrTime)
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

// The IPTC date and time of one moment, which a write gives from the
// digitized date they follow.
struct IptcMoment
{
    const char *date;
    const char *time;
};
constexpr IptcMoment iptcMoments[] = {
    { "Iptc.Application2.DateCreated", "Iptc.Application2.TimeCreated" },
    { "Iptc.Application2.DigitizationDate", "Iptc.Application2.DigitizationTime" },
};
constexpr const char *digitizedKey = "Exif.Photo.DateTimeDigitized";

// The values with each IPTC moment the file kept in a zone of its own
// (UTC beside the camera's local time) moved as far as the digitized date
// moved, in that zone: the date's new wall clock with the IPTC time's
// offset, as given, would name another moment.
// Whether the file stored the IPTC time with its zone ("HHMMSS+HHMM"); the
// library reads one stored without as UTC.
bool storedWithZone(const std::vector<StoredDataset> &stored, const Exiv2::IptcKey &time)
{
    constexpr std::size_t withZone = 11;
    return std::any_of(stored.begin(), stored.end(), [&](const StoredDataset &dataset) {
        return dataset.record == time.record() && dataset.number == time.tag()
            && dataset.bytes.size() >= withZone;
    });
}

QVariantMap withIptcMomentsInTheirZone(const QVariantMap &values, const Exiv2::IptcData &iptc,
    const std::vector<StoredDataset> &stored, const ExifDateTexts &datesBefore,
    std::optional<int> digitizedZone)
{
    // A text given for the key; empty for none, or for a removal.
    const auto given = [&](const QString &key) {
        const QVariant value = values.value(key);
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    const QString digitizedNow = given(QLatin1String(digitizedKey));
    if (digitizedNow.isEmpty())
        return values;
    QVariantMap moved = values;
    for (const IptcMoment &moment : iptcMoments) {
        const QString dateKey = QLatin1String(moment.date);
        const QString timeKey = QLatin1String(moment.time);
        const auto date = iptc.findKey(Exiv2::IptcKey(moment.date));
        const auto time = iptc.findKey(Exiv2::IptcKey(moment.time));
        if (given(dateKey).isEmpty() || given(timeKey).isEmpty() || date == iptc.end() || time == iptc.end()
            || !storedWithZone(stored, Exiv2::IptcKey(moment.time)))
            continue;
        const QString stood
            = textFromBytes(date->toString()) + QLatin1Char('T') + textFromBytes(time->toString());
        const std::optional<QString> now = movedWithWallClock(
            stood, exifDateBefore(datesBefore, digitizedKey), digitizedNow, digitizedZone);
        if (!now)
            continue;
        const qsizetype t = now->indexOf(QLatin1Char('T'));
        moved.insert(dateKey, now->left(t));
        moved.insert(timeKey, now->mid(t + 1));
    }
    return moved;
}

void writeIptc(Exiv2::IptcData &iptc, const QVariantMap &values, WriteReport &report)
{
    const std::vector<WriteKey> given = givenKeys(values, Group::Iptc);
    const bool writesUtf8 = std::any_of(given.begin(), given.end(), [&](const WriteKey &key) {
        const QVariant value = values.value(QString::fromStdString(key.key));
        return !isRemoval(value) && !isAscii(textOf(value));
    });
    if (writesUtf8)
        declareUtf8(iptc);
    for (const WriteKey &row : given) {
        const QVariant value = values.value(QString::fromStdString(row.key));
        if (isRemoval(value))
            eraseAll(iptc, Exiv2::IptcKey(row.key));
        else
            writeIptcDataset(iptc, Exiv2::IptcKey(row.key), textOf(value), report);
    }
}

void writeXmp(Exiv2::XmpData &xmp, const QVariantMap &values)
{
    for (const WriteKey &row : givenKeys(values, Group::Xmp)) {
        const QVariant given = values.value(QString::fromStdString(row.key));
        const bool isDate = row.conversion == WriteConversion::Date;
        if (isRemoval(given) || (isDate && isEmptyText(given))) {
            eraseAll(xmp, Exiv2::XmpKey(row.key));
            continue;
        }
        QString text = textOf(given);
        if (isDate) {
            const auto former = xmp.findKey(Exiv2::XmpKey(row.key));
            text = inUtcFormOf(
                xmpDateText(text), former != xmp.end() ? textFromBytes(former->toString()) : QString());
        }
        xmp[row.key] = text.toUtf8().toStdString();
    }
}

void expectAll(WriteReport &report, const QVariantMap &values, Group group, const Exiv2::Image &image)
{
    for (const WriteKey &key : givenKeys(values, group))
        report.expect(key.key, image);
}

// Writes the Exif values and the comment; the Exif keys it set or removed.
std::vector<std::string> setExif(
    Exiv2::Image &image, const QVariantMap &values, bool empty, const ImageKind &kind, WriteReport &report)
{
    Exiv2::ExifData exif = image.exifData();
    if (empty) {
        // What the picture itself needs stays, as a clear of the Exif keeps it.
        for (auto datum = exif.begin(); datum != exif.end();)
            datum = isKeptByClear(*datum, kind) ? std::next(datum) : exif.erase(datum);
    }
    const Exiv2::ExifData before = exif;
    std::vector<std::string> written = writeExif(exif, values, image.byteOrder(), kind, report);
    if (empty)
        dropIdleTags(exif, image.exifData(), kind, true);
    addRequiredTags(exif, before, image, kind);
    for (const std::string &key : dropEntriesOfNoType(exif))
        report.leftOut(key, noTypeReason());
    image.setExifData(exif);

    const auto comment = values.constFind(userCommentKey);
    if (comment != values.constEnd() && supports(image, Exiv2::mdComment)) {
        if (isRemoval(*comment))
            image.clearComment();
        else
            image.setComment(textOf(*comment).toUtf8().toStdString());
    }
    return written;
}

std::vector<std::string> keysOf(const std::vector<WriteKey> &keys)
{
    std::vector<std::string> names;
    for (const WriteKey &key : keys)
        names.push_back(key.key);
    return names;
}

// Whether the file's XMP repeats any of the written Exif or IPTC keys.
bool holdsCopies(const Exiv2::XmpData &xmp, const std::vector<std::string> &exifKeys,
    const std::vector<std::string> &iptcKeys)
{
    const auto holdsAny = [&](const std::vector<std::string> &copies) {
        return std::any_of(
            copies.begin(), copies.end(), [&](const std::string &copy) { return holdsProperty(xmp, copy); });
    };
    return std::any_of(exifKeys.begin(), exifKeys.end(),
               [&](const std::string &key) { return holdsAny(xmpCopiesOf(key)); })
        || std::any_of(iptcKeys.begin(), iptcKeys.end(),
            [&](const std::string &key) { return holdsAny(xmpCopiesOfIptc(key)); });
}

// The written Exif and IPTC keys that the XMP may repeat.
std::vector<std::string> withXmpCopies(
    const std::vector<std::string> &exifKeys, const std::vector<std::string> &iptcKeys)
{
    std::vector<std::string> keys;
    for (const std::string &key : exifKeys) {
        if (!xmpCopiesOf(key).empty())
            keys.push_back(key);
    }
    for (const std::string &key : iptcKeys) {
        if (!xmpCopiesOfIptc(key).empty())
            keys.push_back(key);
    }
    return keys;
}

// Writes the XMP values and brings the copies of the written Exif and IPTC
// values in step (the copies of dates as they stood beside datesBefore);
// true when every copy of the IPTC it holds agrees with it. The XMP keys it
// wrote go into xmpWritten.
bool setXmp(Exiv2::Image &image, const QVariantMap &values, bool empty,
    const std::vector<std::string> &exifWritten, const ExifDateTexts &datesBefore,
    const std::vector<std::string> &iptcWritten, std::vector<std::string> &xmpWritten, WriteReport &report)
{
    const bool writesXmp = !givenKeys(values, Group::Xmp).empty();
    if (!empty && hasUnreadableXmp(image)) {
        // Writing would replace what the library cannot read with only these.
        refuseAll(report, values, Group::Xmp,
            QStringLiteral("the file's XMP cannot be read, so it stays as it is"));
        report.copiesNotUpdated(withXmpCopies(exifWritten, iptcWritten));
        keepXmpAsItIs(image);
        return false;
    }
    if (!empty && !writesXmp && !holdsCopies(image.xmpData(), exifWritten, iptcWritten)) {
        keepXmpAsItIs(image);
        return true;
    }
    xmpWritten = keysOf(givenKeys(values, Group::Xmp));
    Exiv2::XmpData xmp;
    if (!empty)
        xmp = image.xmpData();
    writeXmp(xmp, values);
    updateXmpCopies(xmp, image.exifData(), exifWritten, datesBefore);
    // The XMP values of their own follow their own fields.
    const bool inStep
        = updateXmpCopiesOfIptc(xmp, image.iptcData(), iptcWritten, keysOf(writeKeys(Group::Xmp)));
    removeXmp(image);
    image.setXmpData(xmp);
    return inStep;
}

// The comment the write gives the file, when it names one.
std::optional<QString> commentOf(const Exiv2::Image &image, const QVariantMap &values)
{
    const auto comment = values.constFind(userCommentKey);
    if (comment == values.constEnd() || !supports(image, Exiv2::mdComment))
        return std::nullopt;
    return isRemoval(*comment) ? QString() : textOf(*comment);
}

// Which of a PNG's text copies the write takes: a converter's copies of the
// written values and of their XMP copies, or with the rest emptied, all.
PngTextWrite pngTextWriteOf(const Exiv2::Image &image, bool empty, const std::vector<std::string> &written)
{
    PngTextWrite write;
    if (image.imageType() != Exiv2::ImageType::png)
        return write;
    write.everyCopy = empty;
    for (const std::string &key : written) {
        for (const std::string &property : keyAndXmpCopies(key)) {
            for (std::string &keyword : textCopyKeywords(property))
                write.copies.push_back({ std::move(keyword), key });
        }
    }
    return write;
}

// What the written file still holds of older values of the written keys,
// beside the values themselves: a PNG's texts that could not be brought in
// step (a Photoshop profile or a text that cannot be read), and the copies
// other programs keep where a write leaves them; after a write that emptied
// the rest, what such copies keep of the IPTC and the XMP.
void reportOlderValues(const Exiv2::Image &written, const SavedContent &content,
    const std::vector<std::string> &iptcWritten, const std::vector<std::string> &allWritten, bool empty,
    WriteReport &report, WalkBudget &budget)
{
    readFileBytes(written, [&](const Exiv2::byte *data, long size) {
        if (written.imageType() == Exiv2::ImageType::png) {
            const PngTexts texts = findPngTexts(data, size, pngTextEdit(written, content));
            if (content.iptc != IptcContent::Kept && (texts.unreadableProfile || texts.found.iptc))
                report.profileCopiesNotUpdated(iptcWritten);
            for (const std::string &key : texts.oldValues)
                report.olderCopyStays(
                    key, QStringLiteral("a text in the file cannot be read, so it keeps the old value"));
        }
        const CopiesLeftAlone copies = copiesLeftAlone(written, data, size, budget);
        reportOlderCopies(copies, allWritten,
            [&](const std::string &key, const QString &where) { report.olderCopyStays(key, where); });
        if (empty) {
            ClearChoices emptied;
            emptied.iptc = supports(written, Exiv2::mdIptc);
            emptied.xmp = supports(written, Exiv2::mdXmp);
            reportKeptCopies(copies, emptied,
                [&](const std::string &choice, const QString &where) { report.kept(choice, where); });
        }
    });
}

} // namespace

bool MetadataOperation::setMetadata(const QString &path, const QVariantMap &values, bool empty,
    const Destination &into, Shortfalls *shortfalls) const
{
    initializeExiv2();
    if (shortfalls)
        shortfalls->clear();
    return runGuarded([&] {
        const EditedImage edited = openForEditing(path);
        Exiv2::Image *image = edited.image.get();
        const ImageKind kind = imageKind(*image);
        WriteReport report(path);
        const QString format = formatName(*image, path);

        std::vector<std::string> exifWritten;
        std::vector<std::string> iptcWritten;
        const ExifDateTexts datesBefore = exifDateTexts(image->exifData());
        const std::optional<int> digitizedZone = exifDateZone(image->exifData(), digitizedKey);
        if (supports(*image, Exiv2::mdExif))
            exifWritten = setExif(*image, values, empty, kind, report);
        else
            refuseGroup(report, values, Group::Exif, format);

        if (supports(*image, Exiv2::mdIptc)) {
            Exiv2::IptcData iptc;
            if (!empty)
                iptc = image->iptcData();
            const std::vector<StoredDataset> stored = storedIptc(*image);
            writeIptc(iptc,
                withIptcMomentsInTheirZone(values, image->iptcData(), stored, datesBefore, digitizedZone),
                report);
            iptcWritten = keysOf(givenKeys(values, Group::Iptc));
            keepStoredDatesAndTimes(iptc, stored, iptcWritten);
            image->setIptcData(iptc);
        } else {
            refuseGroup(report, values, Group::Iptc, format);
        }

        bool iptcCopiesInStep = true;
        std::vector<std::string> xmpWritten;
        if (supports(*image, Exiv2::mdXmp))
            iptcCopiesInStep
                = setXmp(*image, values, empty, exifWritten, datesBefore, iptcWritten, xmpWritten, report);
        else
            refuseGroup(report, values, Group::Xmp, format);

        for (const Group group : { Group::Exif, Group::Iptc, Group::Xmp })
            expectAll(report, values, group, *image);
        const IptcContent iptc = !empty && iptcWritten.empty() ? IptcContent::Kept
            : iptcCopiesInStep                                 ? IptcContent::ChangedWithXmp
                                                               : IptcContent::Changed;
        std::vector<std::string> written = exifWritten;
        written.insert(written.end(), iptcWritten.begin(), iptcWritten.end());
        written.insert(written.end(), xmpWritten.begin(), xmpWritten.end());
        const SavedContent content { iptc, {}, commentOf(*image, values),
            pngTextWriteOf(*image, empty, written), exifWritten, empty };
        saveEdits(
            edited, path, content, m_check,
            [&](const Exiv2::Image &image) {
                report.check(image);
                reportOlderValues(image, content, iptcWritten, written, empty, report, *edited.budget);
            },
            into);
        report.print();
        if (shortfalls)
            *shortfalls = report.shortfalls();
    });
}
