// SPDX-License-Identifier: GPL-3.0-or-later
// Reading speed of the metadata record: what a scan of ten thousand files
// spends turning each file's reading into a Metadata (date texts parsed
// through the cached formatters, both Exif and XMP forms), and, given an
// image path, reading that file through the bridge.

#include "engine/Metadata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QVariantMap reading {
        { QStringLiteral("Exif.Image.Make"), QStringLiteral("Canon") },
        { QStringLiteral("Exif.Image.Model"), QStringLiteral("Canon PowerShot S5 IS") },
        { QStringLiteral("Exif.Photo.DateTimeOriginal"), QStringLiteral("2008:05:08 09:54:28") },
        { QStringLiteral("Exif.Photo.DateTimeDigitized"), QStringLiteral("2008:05:08 09:54:28") },
        { QStringLiteral("Exif.Image.DateTime"), QStringLiteral("2008:05:08 09:54:28") },
        { QStringLiteral("Xmp.xmp.CreateDate"), QStringLiteral("2008-05-08T09:54:28+01:00") },
        { QStringLiteral("Xmp.xmp.ModifyDate"), QStringLiteral("2008-05-08T09:54:28") },
        { QStringLiteral("Xmp.photoshop.DateCreated"), QStringLiteral("2008-05-08") },
        { QStringLiteral("Exif.Photo.ExposureTime"), 0.001 },
        { QStringLiteral("Exif.Photo.FNumber"), 4.0 },
        { QStringLiteral("Exif.Photo.ISOSpeedRatings"), qint64(80) },
        { QStringLiteral("Exif.GPSInfo.GPSLatitude"), 36.448333 },
        { QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"), QStringLiteral("N") },
        { QStringLiteral("Exif.GPSInfo.GPSLongitude"), 116.855 },
        { QStringLiteral("Exif.GPSInfo.GPSLongitudeRef"), QStringLiteral("W") },
    };

    const int files = 10000;
    QElapsedTimer timer;
    timer.start();
    int dates = 0;
    for (int i = 0; i < files; ++i)
        dates += Metadata::fromReading(reading).createDatePhotoshopXMP() ? 1 : 0;
    const qint64 ms = timer.elapsed();

    QTextStream(stdout) << "Metadata::fromReading: " << files << " records with six dates in " << ms
                        << " ms (" << QString::number(double(ms) * 1000 / files, 'f', 1) << " us each), "
                        << dates << " bare XMP dates read\n";

    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        const int reads = 500;
        timer.restart();
        int found = 0;
        for (int i = 0; i < reads; ++i)
            found += Metadata::fromFile(path).make() ? 1 : 0;
        const qint64 fileMs = timer.elapsed();
        QTextStream(stdout) << "Metadata::fromFile: " << reads << " reads of " << path << " in " << fileMs
                            << " ms (" << QString::number(double(fileMs) * 1000 / reads, 'f', 1)
                            << " us each), " << found << " with a make\n";
    }
    return dates == files ? 0 : 1;
}
