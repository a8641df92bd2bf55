// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a folder of JPEG photographs with camera-like Exif, IPTC and XMP,
// the same bytes on every run for the same arguments.
//
//   calvorn_make_corpus <folder> [count = 2000] [kilobytes = 1000]

#include "platform/Exiv2Setup.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QThreadPool>
#include <QTimeZone>

#include <exiv2/exiv2.hpp>

#include <atomic>
#include <cstdio>

namespace {

// A small deterministic generator (splitmix64), so the corpus does not
// depend on the library's random engine.
struct Random
{
    quint64 state;
    quint64 next()
    {
        quint64 z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
};

// A picture with shapes and grain; the grain sets how large the JPEG gets.
QByteArray encodePicture(int variant, int grain, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    Random random { quint64(variant) * 7919 + 17 };
    image.fill(QColor::fromHsv(random.below(360), 90, 200));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 40; ++i) {
            painter.setBrush(
                QColor::fromHsv(random.below(360), 60 + random.below(190), 60 + random.below(190)));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPoint(random.below(size.width()), random.below(size.height())),
                20 + random.below(size.width() / 4), 20 + random.below(size.height() / 4));
        }
    }
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = random.below(2 * grain + 1) - grain;
            const QRgb c = line[x];
            line[x] = qRgb(
                qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255), qBound(0, qBlue(c) + n, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The smallest grain whose JPEG reaches the wanted size (bisection).
QByteArray pictureOfAbout(int variant, qint64 wantedBytes)
{
    const QSize size(1600, 1200);
    int low = 0, high = 64;
    QByteArray best = encodePicture(variant, high, size);
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        QByteArray candidate = encodePicture(variant, mid, size);
        if (candidate.size() >= wantedBytes) {
            high = mid;
            best = std::move(candidate);
        } else {
            low = mid;
        }
    }
    return best;
}

QByteArray smallThumbnail(const QByteArray &picture)
{
    QImage image = QImage::fromData(picture).scaled(160, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

const char *const Cameras[][3] = {
    { "Canon", "Canon EOS R6", "RF24-105mm F4 L IS USM" },
    { "NIKON CORPORATION", "NIKON Z 6_2", "NIKKOR Z 24-70mm f/4 S" },
    { "SONY", "ILCE-7M4", "FE 24-105mm F4 G OSS" },
    { "FUJIFILM", "X-T4", "XF16-80mmF4 R OIS WR" },
    { "OLYMPUS CORPORATION", "E-M1MarkIII", "OLYMPUS M.12-40mm F2.8" },
    { "Google", "Pixel 7", "Pixel 7 back camera 6.81mm f/1.85" },
};
const char *const Cities[][3] = {
    { "Lisboa", "Lisboa", "Portugal" },
    { "Kyoto", "Kyoto", "Japan" },
    { "Bergen", "Vestland", "Norway" },
    { "Valparaíso", "Valparaíso", "Chile" },
    { "Québec", "Québec", "Canada" },
    { "Tromsø", "Troms", "Norway" },
};
const char *const Words[] = { "harbour", "evening", "family", "travel", "street", "market", "mountain",
    "river", "snow", "portrait", "bridge", "autumn", "festival", "boat" };

void describe(Exiv2::Image &image, int index)
{
    Random random { quint64(index) * 104729 + 3 };
    const auto &camera = Cameras[index % 6];
    const auto &place = Cities[random.below(6)];
    const QDateTime taken
        = QDateTime(QDate(2019, 1, 1), QTime(8, 0), QTimeZone::utc()).addSecs(qint64(index) * 3617);
    const std::string exifDate = taken.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toStdString();
    const std::string isoDate = taken.toString(Qt::ISODate).toStdString();
    const std::string title
        = std::string(Words[random.below(14)]) + " " + Words[random.below(14)] + " #" + std::to_string(index);

    Exiv2::ExifData &exif = image.exifData();
    exif["Exif.Image.Make"] = camera[0];
    exif["Exif.Image.Model"] = camera[1];
    exif["Exif.Image.Orientation"] = uint16_t(index % 7 == 0 ? 6 : 1);
    exif["Exif.Image.XResolution"] = Exiv2::URational(300, 1);
    exif["Exif.Image.YResolution"] = Exiv2::URational(300, 1);
    exif["Exif.Image.ResolutionUnit"] = uint16_t(2);
    exif["Exif.Image.Software"] = "Calvorn corpus 1.0";
    exif["Exif.Image.DateTime"] = exifDate;
    exif["Exif.Image.Artist"] = "Ana Ferreira";
    exif["Exif.Image.Copyright"] = "© 2019 Ana Ferreira";
    exif["Exif.Image.ImageDescription"] = title;
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 30 << random.below(5));
    exif["Exif.Photo.FNumber"] = Exiv2::URational(28 + 10 * random.below(8), 10);
    exif["Exif.Photo.ExposureProgram"] = uint16_t(random.below(5));
    exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(100 << random.below(6));
    exif["Exif.Photo.DateTimeOriginal"] = exifDate;
    exif["Exif.Photo.DateTimeDigitized"] = exifDate;
    exif["Exif.Photo.ExposureBiasValue"] = Exiv2::Rational(random.below(7) - 3, 3);
    exif["Exif.Photo.MaxApertureValue"] = Exiv2::URational(297, 100);
    exif["Exif.Photo.MeteringMode"] = uint16_t(5);
    exif["Exif.Photo.Flash"] = uint16_t(random.below(2) ? 16 : 9);
    exif["Exif.Photo.FocalLength"] = Exiv2::URational(24 + random.below(80), 1);
    exif["Exif.Photo.UserComment"] = "charset=Ascii " + title;
    exif["Exif.Photo.ColorSpace"] = uint16_t(1);
    exif["Exif.Photo.PixelXDimension"] = uint32_t(1600);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(1200);
    exif["Exif.Photo.ExposureMode"] = uint16_t(0);
    exif["Exif.Photo.WhiteBalance"] = uint16_t(0);
    exif["Exif.Photo.FocalLengthIn35mmFilm"] = uint16_t(24 + random.below(80));
    exif["Exif.Photo.SceneCaptureType"] = uint16_t(0);
    exif["Exif.Photo.BodySerialNumber"] = std::to_string(4000000 + index % 6);
    exif["Exif.Photo.LensModel"] = camera[2];
    exif["Exif.GPSInfo.GPSVersionID"] = "2 3 0 0";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = random.below(4) ? "N" : "S";
    exif["Exif.GPSInfo.GPSLatitude"]
        = "38/1 " + std::to_string(random.below(60)) + "/1 " + std::to_string(random.below(6000)) + "/100";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = random.below(2) ? "E" : "W";
    exif["Exif.GPSInfo.GPSLongitude"]
        = "9/1 " + std::to_string(random.below(60)) + "/1 " + std::to_string(random.below(6000)) + "/100";
    const Exiv2::Value::AutoPtr aboveSeaLevel = Exiv2::Value::create(Exiv2::unsignedByte);
    aboveSeaLevel->read("0");
    exif.add(Exiv2::ExifKey("Exif.GPSInfo.GPSAltitudeRef"), aboveSeaLevel.get());
    exif["Exif.GPSInfo.GPSAltitude"] = Exiv2::URational(random.below(200000), 100);

    Exiv2::IptcData &iptc = image.iptcData();
    iptc["Iptc.Application2.ObjectName"] = title;
    iptc["Iptc.Application2.Headline"] = title;
    iptc["Iptc.Application2.Caption"]
        = "A photograph of the " + std::string(Words[random.below(14)]) + ", taken in " + place[0] + ".";
    iptc["Iptc.Application2.Byline"] = "Ana Ferreira";
    iptc["Iptc.Application2.BylineTitle"] = "Photographer";
    iptc["Iptc.Application2.Credit"] = "Ferreira Studio";
    iptc["Iptc.Application2.Source"] = "Own work";
    iptc["Iptc.Application2.Copyright"] = "© 2019 Ana Ferreira";
    iptc["Iptc.Application2.City"] = place[0];
    iptc["Iptc.Application2.ProvinceState"] = place[1];
    iptc["Iptc.Application2.CountryName"] = place[2];
    iptc["Iptc.Application2.DateCreated"] = taken.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    for (int k = 0; k < 4; ++k) {
        Exiv2::Iptcdatum keyword(Exiv2::IptcKey("Iptc.Application2.Keywords"));
        keyword.setValue(Words[random.below(14)]);
        iptc.add(keyword);
    }

    Exiv2::XmpData &xmp = image.xmpData();
    xmp["Xmp.dc.title"] = "lang=\"x-default\" " + title;
    xmp["Xmp.dc.description"] = "lang=\"x-default\" Taken in " + std::string(place[0]);
    xmp["Xmp.dc.creator"] = "Ana Ferreira";
    xmp["Xmp.dc.rights"] = "lang=\"x-default\" © 2019 Ana Ferreira";
    Exiv2::XmpArrayValue bag(Exiv2::xmpBag);
    for (int k = 0; k < 4; ++k)
        bag.read(Words[random.below(14)]);
    xmp.add(Exiv2::XmpKey("Xmp.dc.subject"), &bag);
    xmp["Xmp.xmp.CreateDate"] = isoDate;
    xmp["Xmp.xmp.ModifyDate"] = isoDate;
    xmp["Xmp.xmp.Rating"] = std::to_string(random.below(6));
    xmp["Xmp.xmp.CreatorTool"] = "Calvorn corpus 1.0";
    xmp["Xmp.photoshop.DateCreated"] = isoDate;
    xmp["Xmp.photoshop.City"] = place[0];
    xmp["Xmp.photoshop.Country"] = place[2];
    xmp["Xmp.aux.SerialNumber"] = std::to_string(4000000 + index % 6);
    xmp["Xmp.aux.Lens"] = camera[2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: %s <folder> [count = 2000] [kilobytes = 1000]\n", argv[0]);
        return 2;
    }
    const QString folder = args.at(1);
    const int count = args.size() > 2 ? args.at(2).toInt() : 2000;
    const qint64 wanted = (args.size() > 3 ? args.at(3).toLongLong() : 1000) * 1000;
    if (!QDir().mkpath(folder) || count <= 0 || wanted <= 0) {
        std::fprintf(stderr, "cannot use %s\n", qPrintable(folder));
        return 1;
    }
    // Many files are made at once: the XMP toolkit takes one at a time.
    initializeExiv2();

    // A handful of pictures, each carried by many files with their own
    // metadata; the picture dominates the size, the metadata the work.
    constexpr int Variants = 8;
    std::vector<QByteArray> pictures(Variants);
    std::vector<QByteArray> thumbnails(Variants);
    QThreadPool pool;
    for (int v = 0; v < Variants; ++v)
        pool.start([&, v] {
            pictures[size_t(v)] = pictureOfAbout(v, wanted);
            thumbnails[size_t(v)] = smallThumbnail(pictures[size_t(v)]);
        });
    pool.waitForDone();

    std::atomic<int> failures { 0 };
    for (int i = 0; i < count; ++i)
        pool.start([&, i] {
            const QString path = folder + QStringLiteral("/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
            try {
                const QByteArray &picture = pictures[size_t(i % Variants)];
                Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
                    reinterpret_cast<const Exiv2::byte *>(picture.constData()), long(picture.size()));
                image->readMetadata();
                describe(*image, i);
                const QByteArray &thumb = thumbnails[size_t(i % Variants)];
                Exiv2::ExifThumb(image->exifData())
                    .setJpegThumbnail(
                        reinterpret_cast<const Exiv2::byte *>(thumb.constData()), long(thumb.size()));
                image->writeMetadata();
                Exiv2::BasicIo &io = image->io();
                io.seek(0, Exiv2::BasicIo::beg);
                const Exiv2::DataBuf bytes = io.read(long(io.size()));
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly)
                    || file.write(reinterpret_cast<const char *>(bytes.pData_), bytes.size_) != bytes.size_)
                    ++failures;
            } catch (const std::exception &e) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(path), e.what());
                ++failures;
            }
        });
    pool.waitForDone();
    if (failures) {
        std::fprintf(stderr, "%d files could not be written\n", failures.load());
        return 1;
    }
    std::printf("%d photographs in %s\n", count, qPrintable(QDir(folder).absolutePath()));
    return 0;
}
