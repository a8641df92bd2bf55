// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ZonedPhotos.h"

#include "platform/DateFormat.h"
#include "support/SecondReader.h"
#include "support/TestEnvironment.h"

#include <QJsonValue>

#include <ctime>

namespace zonedphotos {

namespace {

QString made(const QTemporaryDir &dir, const QString &name, const QStringList &dates)
{
    const QString path = testsupport::copyTestFile(QStringLiteral("images/FurnaceCreekInn.jpg"), dir, name);
    if (path.isEmpty()
        || !secondreader::make(dates + QStringList { QStringLiteral("-overwrite_original"), path }))
        return QString();
    return path;
}

const QStringList zoned {
    QStringLiteral("-EXIF:DateTimeOriginal=2008:03:15 09:52:01"),
    QStringLiteral("-EXIF:OffsetTimeOriginal=-04:00"),
    QStringLiteral("-XMP-exif:DateTimeOriginal=2008:03:15 09:52:01-04:00"),
    QStringLiteral("-EXIF:CreateDate=2008:07:07 23:20:59"),
    QStringLiteral("-EXIF:OffsetTimeDigitized=-07:00"),
    QStringLiteral("-XMP-exif:DateTimeDigitized=2008:07:07 23:20:59"),
    QStringLiteral("-EXIF:ModifyDate=2008:12:31 23:30:00"),
    QStringLiteral("-EXIF:OffsetTime=+05:30"),
    QStringLiteral("-XMP-tiff:DateTime=2008:12:31 23:30:00+05:30"),
    QStringLiteral("-XMP-xmp:CreateDate=2008:07:07 23:20:59-07:00"),
    QStringLiteral("-XMP-xmp:ModifyDate=2008:07:09 08:00:00"),
    QStringLiteral("-XMP-photoshop:DateCreated=2008:03:15 09:52:01-04:00"),
    QStringLiteral("-IPTC:DateCreated=2008:07:07"),
    QStringLiteral("-IPTC:TimeCreated=23:20:59-07:00"),
    QStringLiteral("-IPTC:DigitalCreationDate="),
    QStringLiteral("-IPTC:DigitalCreationTime="),
};

const QStringList keptInUtc {
    QStringLiteral("-EXIF:DateTimeOriginal=2013:01:30 15:30:52"),
    QStringLiteral("-XMP-exif:DateTimeOriginal=2013:01:30 19:30:52Z"),
    QStringLiteral("-EXIF:CreateDate=2013:01:30 15:30:52"),
    QStringLiteral("-EXIF:OffsetTimeDigitized=-04:00"),
    QStringLiteral("-XMP-exif:DateTimeDigitized=2013:01:31 04:30:52+09:00"),
    QStringLiteral("-EXIF:ModifyDate=2013:01:30 15:30:52"),
    QStringLiteral("-XMP-tiff:DateTime=2013:01:30 19:30:52Z"),
    QStringLiteral("-XMP-xmp:CreateDate=2013:01:31 04:30:52+09:00"),
    QStringLiteral("-XMP-xmp:ModifyDate=2013:01:30 19:30:52Z"),
    QStringLiteral("-XMP-photoshop:DateCreated=2013:01:30 19:30:52Z"),
    QStringLiteral("-IPTC:DateCreated=2013:01:30"),
    QStringLiteral("-IPTC:TimeCreated=19:30:52+00:00"),
    QStringLiteral("-IPTC:DigitalCreationDate="),
    QStringLiteral("-IPTC:DigitalCreationTime="),
};

bool isVolatile(const QString &key)
{
    const QString group = secondreader::family0(key);
    return group == QLatin1String("File") || group == QLatin1String("Composite")
        || group == QLatin1String("ExifTool") || key == QLatin1String("XMP:XMP-x:XMPToolkit");
}

} // namespace

QStringList differences(
    const secondreader::Reading &before, const secondreader::Reading &after, const QJsonObject &changes)
{
    QStringList keys = before.tags.keys() + after.tags.keys();
    keys.removeDuplicates();
    QStringList found;
    for (const QString &key : keys) {
        QJsonValue expected = changes.contains(key) ? changes.value(key) : before.value(key);
        if (expected.isNull())
            expected = QJsonValue::Undefined;
        if (!isVolatile(key) && after.value(key) != expected)
            found << QStringLiteral("%1: %2, not %3")
                         .arg(key, after.value(key).toVariant().toString(), expected.toVariant().toString());
    }
    return found;
}

QString makeZoned(const QTemporaryDir &dir, const QString &name)
{
    return made(dir, name, zoned);
}

QString makeKeptInUtc(const QTemporaryDir &dir, const QString &name)
{
    return made(dir, name, keptInUtc);
}

QString makeBadlyZoned(const QTemporaryDir &dir, const QString &name)
{
    // "#=" writes the text as it is, where exiftool would mend it.
    return made(dir, name,
        zoned
            + QStringList { QStringLiteral("-XMP-xmp:ModifyDate=2008:07:09 08:00:00+25:00"),
                QStringLiteral("-XMP-photoshop:DateCreated=2008:03:15 09:52:01+25:00"),
                QStringLiteral("-IPTC:TimeCreated=23:20:59+25:00"),
                QStringLiteral("-EXIF:OffsetTimeDigitized#=+1:00") });
}

MachineZone::MachineZone(const char *ianaId)
    : m_wasSet(qEnvironmentVariableIsSet("TZ"))
    , m_was(qgetenv("TZ"))
{
    qputenv("TZ", ianaId);
    tzset();
    // No zone pinned: the program takes the machine's, from TZ.
    platform::DateFormat::setTimeZone(QString());
}

MachineZone::~MachineZone()
{
    if (m_wasSet)
        qputenv("TZ", m_was);
    else
        qunsetenv("TZ");
    tzset();
    platform::DateFormat::setTimeZone(QString());
}

} // namespace zonedphotos
