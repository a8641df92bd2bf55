// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/XmpCopies.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "engine/FileDates.h"
#include "platform/DateFormat.h"

#include <QString>
#include <QStringList>

#include <exiv2/convert.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace engine::bridge {

namespace {

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isPartOf(const std::string &key, const std::string &property)
{
    return key == property
        || (startsWith(key, property) && (key[property.size()] == '/' || key[property.size()] == '['));
}

const Exiv2::Exifdatum *find(const Exiv2::ExifData &exif, const std::string &key)
{
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found != exif.end() ? &*found : nullptr;
}

bool isDate(const std::string &exifKey)
{
    return exifKey == "Exif.Image.DateTime" || exifKey == "Exif.Photo.DateTimeOriginal"
        || exifKey == "Exif.Photo.DateTimeDigitized";
}

// The Exif value's items as XMP texts: dates in the XMP form, rationals as
// "numerator/denominator".
QStringList itemsOf(const Exiv2::Exifdatum &datum)
{
    const Exiv2::Value &value = datum.value();
    if (const auto *comment = dynamic_cast<const Exiv2::CommentValue *>(&value))
        return { textFromBytes(comment->comment()) };
    switch (value.typeId()) {
    case Exiv2::asciiString:
    case Exiv2::string:
    case Exiv2::undefined:
        return { textFromBytes(value.toString()) };
    default:
        break;
    }
    QStringList items;
    for (long i = 0; i < value.count(); ++i)
        items << QString::fromStdString(value.toString(i));
    return items;
}

// "DDD,MM.mmmmmmR", the XMP form of a coordinate and its reference.
QString xmpCoordinate(const Exiv2::Exifdatum &coordinate, const Exiv2::Exifdatum *reference, bool latitude)
{
    double degrees = 0;
    for (long i = 0; i < std::min(coordinate.count(), 3L); ++i) {
        const Exiv2::Rational r = coordinate.toRational(i);
        if (r.second != 0)
            degrees += double(r.first) / double(r.second) / std::pow(60.0, double(i));
    }
    const double whole = std::floor(degrees);
    const QString ref
        = reference ? textFromBytes(reference->toString()).trimmed().left(1).toUpper() : QString();
    const QString hemisphere = !ref.isEmpty() ? ref : latitude ? QStringLiteral("N") : QStringLiteral("E");
    return QStringLiteral("%1,%2%3").arg(
        QString::number(qint64(whole)), QString::number((degrees - whole) * 60.0, 'f', 6), hemisphere);
}

void eraseProperty(Exiv2::XmpData &xmp, const std::string &property)
{
    for (auto datum = xmp.begin(); datum != xmp.end();)
        datum = isPartOf(datum->key(), property) ? xmp.erase(datum) : std::next(datum);
}

// The copy takes the items in the form it had, where it was: an array
// stays an array of the same kind, alternative languages keep the default
// language.
void setProperty(Exiv2::XmpData &xmp, const std::string &property, const QStringList &items)
{
    const auto old = xmp.findKey(Exiv2::XmpKey(property));
    const Exiv2::TypeId type = old != xmp.end() ? old->typeId() : Exiv2::xmpText;
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    if (type == Exiv2::xmpSeq || type == Exiv2::xmpBag || type == Exiv2::xmpAlt) {
        for (const QString &item : items)
            value->read(item.toStdString());
    } else {
        value->read(items.join(QLatin1Char(' ')).toStdString());
    }
    const bool structure = std::any_of(xmp.begin(), xmp.end(),
        [&](const Exiv2::Xmpdatum &d) { return d.key() != property && isPartOf(d.key(), property); });
    if (old != xmp.end() && !structure) {
        old->setValue(value.get());
        return;
    }
    eraseProperty(xmp, property);
    xmp.add(Exiv2::XmpKey(property), value.get());
}

// A flash's bits as the XMP structure of its fields.
void setFlash(Exiv2::XmpData &xmp, const std::string &property, long flash)
{
    const auto boolean = [](long bit) { return std::string(bit != 0 ? "True" : "False"); };
    eraseProperty(xmp, property);
    xmp[property + "/exif:Fired"] = boolean(flash & 1);
    xmp[property + "/exif:Return"] = std::to_string((flash >> 1) & 3);
    xmp[property + "/exif:Mode"] = std::to_string((flash >> 3) & 3);
    xmp[property + "/exif:Function"] = boolean((flash >> 5) & 1);
    xmp[property + "/exif:RedEyeMode"] = boolean((flash >> 6) & 1);
}

// The coordinate whose copy a GPS coordinate or reference key shares.
struct Coordinate
{
    const char *value;
    const char *reference;
    const char *copy;
    bool latitude;
};
constexpr Coordinate coordinates[] = {
    { "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", "Xmp.exif.GPSLatitude", true },
    { "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", "Xmp.exif.GPSLongitude", false },
};

const Coordinate *coordinateOf(const std::string &exifKey)
{
    for (const Coordinate &c : coordinates) {
        if (exifKey == c.value || exifKey == c.reference)
            return &c;
    }
    return nullptr;
}

// An Exif date in its copy's XMP form: moved with the Exif where it named
// the same moment, else the Exif's wall clock with the offset the copy
// keeps, its own or the one the Exif records for the date; none when
// neither has one (an Exif date is a wall clock, so its copy stays one).
QString dateCopy(const Exiv2::XmpData &xmp, const Exiv2::ExifData &exif, const std::string &exifKey,
    const std::string &property, const Exiv2::Exifdatum &date, const ExifDateTexts &datesBefore)
{
    const QString exifNow = textFromBytes(date.toString());
    QString text = xmpDateText(exifNow);
    // XMP gives an offset only to a date with a time.
    if (!text.contains(QLatin1Char('T')))
        return text;
    const auto found = xmp.findKey(Exiv2::XmpKey(property));
    const QString copy = found != xmp.end() ? textFromBytes(found->toString()) : QString();
    const std::optional<int> exifZone = exifDateZone(exif, exifKey);
    if (const std::optional<QString> moved
        = movedWithWallClock(copy, exifDateBefore(datesBefore, exifKey), exifNow, exifZone))
        return *moved;
    const std::optional<int> own = recordedOffset(copy);
    if (const std::optional<int> offset = own ? own : exifZone)
        text = inUtcFormOf(text + offsetText(*offset), copy);
    return text;
}

void updateCopy(Exiv2::XmpData &xmp, const Exiv2::ExifData &exif, const std::string &exifKey,
    const std::string &property, const ExifDateTexts &datesBefore)
{
    if (const Coordinate *c = coordinateOf(exifKey)) {
        if (const Exiv2::Exifdatum *value = find(exif, c->value))
            setProperty(xmp, property, { xmpCoordinate(*value, find(exif, c->reference), c->latitude) });
        else
            eraseProperty(xmp, property);
        return;
    }
    const Exiv2::Exifdatum *datum = find(exif, exifKey);
    if (!datum || datum->count() == 0)
        eraseProperty(xmp, property);
    else if (exifKey == "Exif.Photo.Flash")
        setFlash(xmp, property, datum->toLong(0));
    else if (isDate(exifKey))
        setProperty(xmp, property, { dateCopy(xmp, exif, exifKey, property, *datum, datesBefore) });
    else
        setProperty(xmp, property, itemsOf(*datum));
}

} // namespace

std::vector<std::string> xmpCopiesOf(const std::string &exifKey)
{
    if (const Coordinate *c = coordinateOf(exifKey))
        return { c->copy };
    const Exiv2::ExifKey key(exifKey);
    const std::string group = key.groupName();
    const std::string name = key.tagName();
    if (group == "Image")
        return { "Xmp.tiff." + name };
    if (group == "GPSInfo")
        return { "Xmp.exif." + name };
    if (group != "Photo")
        return {};
    std::vector<std::string> copies { "Xmp.exif." + name, "Xmp.exifEX." + name };
    // The Exif 2.3 name of the tag.
    if (name == "ISOSpeedRatings")
        copies.push_back("Xmp.exifEX.PhotographicSensitivity");
    return copies;
}

std::vector<std::string> xmpCopiesOfIptc(const std::string &iptcKey)
{
    Exiv2::IptcData one;
    Exiv2::StringValue placeholder("x");
    one.add(Exiv2::IptcKey(iptcKey), &placeholder);
    Exiv2::XmpData converted;
    Exiv2::copyIptcToXmp(one, converted, "UTF-8");
    std::vector<std::string> copies;
    for (const Exiv2::Xmpdatum &datum : converted) {
        const std::string key = datum.key();
        const std::string property = key.substr(0, key.find_first_of("[/"));
        if (std::find(copies.begin(), copies.end(), property) == copies.end())
            copies.push_back(property);
    }
    return copies;
}

std::vector<std::string> keyAndXmpCopies(const std::string &key)
{
    std::vector<std::string> keys { key };
    if (startsWith(key, "Exif."))
        keys = xmpCopiesOf(key);
    else if (startsWith(key, "Iptc."))
        keys = xmpCopiesOfIptc(key);
    else
        return keys;
    keys.insert(keys.begin(), key);
    return keys;
}

bool updateXmpCopiesOfIptc(Exiv2::XmpData &xmp, const Exiv2::IptcData &iptc,
    const std::vector<std::string> &iptcKeys, const std::vector<std::string> &kept)
{
    bool inStep = true;
    for (const std::string &iptcKey : iptcKeys) {
        Exiv2::IptcData datasets;
        for (const Exiv2::Iptcdatum &datum : iptc) {
            if (datum.key() == iptcKey)
                datasets.add(datum);
        }
        Exiv2::XmpData converted;
        Exiv2::copyIptcToXmp(datasets, converted, "UTF-8");
        for (const std::string &property : xmpCopiesOfIptc(iptcKey)) {
            if (!holdsProperty(xmp, property))
                continue;
            if (std::find(kept.begin(), kept.end(), property) != kept.end()) {
                inStep = false;
                continue;
            }
            eraseProperty(xmp, property);
            for (const Exiv2::Xmpdatum &datum : converted) {
                if (isPartOf(datum.key(), property))
                    xmp.add(datum);
            }
        }
    }
    return inStep;
}

bool holdsProperty(const Exiv2::XmpData &xmp, const std::string &property)
{
    return std::any_of(xmp.begin(), xmp.end(),
        [&](const Exiv2::Xmpdatum &datum) { return isPartOf(datum.key(), property); });
}

std::optional<int> exifDateZone(const Exiv2::ExifData &exif, const std::string &dateKey)
{
    const QLatin1String offsetKey = exifOffsetKey(QLatin1String(dateKey.c_str()));
    const Exiv2::Exifdatum *offset = offsetKey.isEmpty() ? nullptr : find(exif, offsetKey.latin1());
    return offset ? recordedOffset(textFromBytes(offset->toString())) : std::nullopt;
}

QString exifDateBefore(const ExifDateTexts &datesBefore, const std::string &exifKey)
{
    const auto found = std::find_if(datesBefore.begin(), datesBefore.end(),
        [&](const std::pair<std::string, QString> &date) { return date.first == exifKey; });
    return found != datesBefore.end() ? found->second : QString();
}

ExifDateTexts exifDateTexts(const Exiv2::ExifData &exif)
{
    ExifDateTexts dates;
    for (const Exiv2::Exifdatum &datum : exif) {
        if (isDate(datum.key()))
            dates.emplace_back(datum.key(), textFromBytes(datum.toString()));
    }
    return dates;
}

bool updateXmpCopies(Exiv2::XmpData &xmp, const Exiv2::ExifData &exif,
    const std::vector<std::string> &exifKeys, const ExifDateTexts &datesBefore)
{
    bool held = false;
    for (const std::string &exifKey : exifKeys) {
        for (const std::string &property : xmpCopiesOf(exifKey)) {
            if (!holdsProperty(xmp, property))
                continue;
            held = true;
            updateCopy(xmp, exif, exifKey, property, datesBefore);
        }
    }
    return held;
}

} // namespace engine::bridge
