// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ImageIO.h"

#include "platform/Exiv2Setup.h"
#include "platform/Jpeg2000.h"
#include "platform/RegularFile.h"
#include "platform/SupportedImages.h"
#include "platform/XmpToolkit.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <vector>

namespace platform::ImageIO {

namespace {

using SupportedImages::Use;

// The file opened for decoding: a regular file whose content is of a
// supported type (SupportedImages); none otherwise, before any decoder,
// Qt's or Exiv2's, has read more than its first bytes.
std::optional<RegularFile> openSupported(const QString &path)
{
    std::optional<RegularFile> file = RegularFile::open(path);
    if (!file)
        return std::nullopt;
    try {
        Exiv2::FileIo io(file->reopenPath().toStdString());
        SupportedImages::requireSupported(io, QFile::encodeName(path).toStdString(), Use::Reading);
        return file;
    } catch (const Exiv2::AnyError &) {
    } catch (const std::exception &) { }
    return std::nullopt;
}

Exiv2::Image::AutoPtr openWithExiv2(const RegularFile &file, const LibraryGuard &mayRead)
{
    try {
        const std::string name = file.reopenPath().toStdString();
        Exiv2::Image::AutoPtr image
            = SupportedImages::open(Exiv2::BasicIo::AutoPtr(new Exiv2::FileIo(name)), name, Use::Reading);
        if (!mayRead(*image))
            return Exiv2::Image::AutoPtr();
        XmpToolkit::readMetadata(*image);
        return image;
    } catch (const Exiv2::AnyError &) {
    } catch (const std::exception &) { }
    return Exiv2::Image::AutoPtr();
}

// The file read from its start, through its own descriptor.
struct Reading
{
    explicit Reading(const RegularFile &file)
        : device(QString::fromLatin1(file.reopenPath()))
    {
        device.open(QIODevice::ReadOnly);
    }
    QFile device;
};

QSize fitted(const QSize &size, int maxSide)
{
    if (maxSide <= 0 || (size.width() <= maxSide && size.height() <= maxSide))
        return size;
    return size.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The Exif orientation codes (1 to 8) applied the way cameras mean them:
// mirror or flip first, then turn clockwise.
QImage oriented(const QImage &image, long orientation)
{
    const auto turned
        = [](const QImage &img, qreal degrees) { return img.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return turned(image.mirrored(false, true), 90);
    case 6:
        return turned(image, 90);
    case 7:
        return turned(image.mirrored(true, false), 90);
    case 8:
        return turned(image, 270);
    default:
        return image;
    }
}

long exifOrientation(const Exiv2::Image &image)
{
    const Exiv2::ExifData &exif = image.exifData();
    const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (it == exif.end() || it->count() == 0)
        return 1;
    return it->toLong();
}

// Decodes with Qt, scaled while decoding where the format allows.
QImage readWithQt(QImageReader &reader, int maxSide, bool upright = true)
{
    reader.setAutoTransform(upright);
    if (maxSide > 0) {
        const QSize size = reader.size();
        if (size.isValid()) {
            const QSize target = fitted(size, maxSide);
            if (target != size)
                reader.setScaledSize(target);
        }
    }
    return reader.read();
}

// image with its longer side at most maxSide (0: as it is).
QImage scaledToFit(const QImage &image, int maxSide)
{
    const QSize target = fitted(image.size(), maxSide);
    if (image.isNull() || target == image.size())
        return image;
    return image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A picture embedded in photo (a preview, the Exif thumbnail), turned
// upright by the photograph's orientation rather than its own, and fitted.
QImage decodeEmbedded(const Exiv2::byte *data, long size, const Exiv2::Image &photo, int maxSide)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const QImage decoded = readWithQt(reader, maxSide, false);
    if (decoded.isNull())
        return decoded;
    return scaledToFit(oriented(decoded, exifOrientation(photo)), maxSide);
}

// The embedded previews in the order to try them: the smallest that still
// covers maxSide first (no detail lost, least to decode), then larger ones,
// then the smaller ones from the largest down; for the whole picture
// (maxSide 0) from the largest down.
std::vector<Exiv2::PreviewProperties> previewsToTry(Exiv2::PreviewPropertiesList list, int maxSide)
{
    const auto longerSide = [](const Exiv2::PreviewProperties &p) { return std::max(p.width_, p.height_); };
    std::stable_sort(list.begin(), list.end(),
        [&](const auto &a, const auto &b) { return longerSide(a) < longerSide(b); });
    std::vector<Exiv2::PreviewProperties> order;
    if (maxSide > 0) {
        for (const auto &p : list)
            if (longerSide(p) >= uint32_t(maxSide))
                order.push_back(p);
    }
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (maxSide <= 0 || longerSide(*it) < uint32_t(maxSide))
            order.push_back(*it);
    return order;
}

// The best embedded preview that decodes, turned upright.
QImage readPreview(const RegularFile &file, int maxSide, const LibraryGuard &mayRead)
{
    Exiv2::Image::AutoPtr image = openWithExiv2(file, mayRead);
    if (!image.get())
        return QImage();
    try {
        Exiv2::PreviewManager previews(*image);
        for (const Exiv2::PreviewProperties &properties :
            previewsToTry(previews.getPreviewProperties(), maxSide)) {
            const Exiv2::PreviewImage preview = previews.getPreviewImage(properties);
            const QImage decoded = decodeEmbedded(preview.pData(), long(preview.size()), *image, maxSide);
            if (!decoded.isNull())
                return decoded;
        }
    } catch (const Exiv2::AnyError &) {
    } catch (const std::exception &) { }
    return QImage();
}

QImage load(const QString &path, int maxSide, const LibraryGuard &mayRead)
{
    const std::optional<RegularFile> file = openSupported(path);
    if (!file)
        return QImage();
    QImage image;
    {
        Reading reading(*file);
        QImageReader reader(&reading.device);
        image = readWithQt(reader, maxSide);
    }
    if (image.isNull()) {
        image = Jpeg2000::decode(file->reopenPath(), maxSide);
        if (!image.isNull()) {
            if (Exiv2::Image::AutoPtr photo = openWithExiv2(*file, mayRead); photo.get())
                image = oriented(image, exifOrientation(*photo));
            return scaledToFit(image, maxSide);
        }
    }
    // Raw files built on TIFF decode in Qt as their first directory: a stub
    // or a tiny thumbnail; a larger embedded preview is better then.
    const bool smallerThanAsked
        = maxSide > 0 && !image.isNull() && std::max(image.width(), image.height()) < maxSide;
    if (image.isNull() || smallerThanAsked) {
        const QImage preview = readPreview(*file, maxSide, mayRead);
        const auto longer = [](const QImage &i) { return std::max(i.width(), i.height()); };
        if (!preview.isNull() && (image.isNull() || longer(preview) > longer(image)))
            return preview;
    }
    return scaledToFit(image, maxSide);
}

// The frame size of a JPEG from its start-of-frame segment, walking the
// segments before it without decoding anything; absent when the file is
// no JPEG or its segments do not lead to a frame header.
std::optional<QSize> jpegFrameSize(QFile &file)
{
    uchar head[2];
    if (file.read(reinterpret_cast<char *>(head), 2) != 2 || head[0] != 0xFF || head[1] != 0xD8)
        return std::nullopt;
    for (;;) {
        uchar marker[4];
        if (file.read(reinterpret_cast<char *>(marker), 2) != 2 || marker[0] != 0xFF)
            return std::nullopt;
        while (marker[1] == 0xFF) // fill bytes
            if (!file.getChar(reinterpret_cast<char *>(&marker[1])))
                return std::nullopt;
        const uchar type = marker[1];
        if (type == 0xD8 || type == 0x01 || (type >= 0xD0 && type <= 0xD7))
            continue; // segments without a length
        if (type == 0xD9 || type == 0xDA)
            return std::nullopt; // end of image or scan before any frame
        if (file.read(reinterpret_cast<char *>(marker + 2), 2) != 2)
            return std::nullopt;
        const int length = (marker[2] << 8) | marker[3];
        if (length < 2)
            return std::nullopt;
        const bool frame = type >= 0xC0 && type <= 0xCF && type != 0xC4 && type != 0xC8 && type != 0xCC;
        if (frame) {
            uchar sof[5];
            if (length < 7 || file.read(reinterpret_cast<char *>(sof), 5) != 5)
                return std::nullopt;
            const QSize size((sof[3] << 8) | sof[4], (sof[1] << 8) | sof[2]);
            return size.isEmpty() ? std::nullopt : std::optional<QSize>(size);
        }
        if (!file.seek(file.pos() + length - 2))
            return std::nullopt;
    }
}

// TIFF and the raw formats built like it, whose main image need not be
// the first one stored.
bool isRaw(const RegularFile &file)
{
    try {
        Exiv2::FileIo io(file.reopenPath().toStdString());
        switch (Exiv2::ImageFactory::getType(io)) {
        case Exiv2::ImageType::tiff:
        case Exiv2::ImageType::cr2:
        case Exiv2::ImageType::crw:
        case Exiv2::ImageType::orf:
        case Exiv2::ImageType::rw2:
        case Exiv2::ImageType::raf:
        case Exiv2::ImageType::mrw:
            return true;
        default:
            return false;
        }
    } catch (const Exiv2::AnyError &) {
    } catch (const std::exception &) { }
    return false;
}

// The main image's size as Exiv2 reports it (what `exiv2 pr` prints).
std::optional<QSize> exiv2PixelSize(const RegularFile &file, const LibraryGuard &mayRead)
{
    Exiv2::Image::AutoPtr image = openWithExiv2(file, mayRead);
    if (!image.get())
        return std::nullopt;
    const QSize size(image->pixelWidth(), image->pixelHeight());
    if (size.isEmpty())
        return std::nullopt;
    return size;
}

} // namespace

std::optional<QSize> pixelSize(const QString &path, const LibraryGuard &mayRead)
{
    const std::optional<RegularFile> file = openSupported(path);
    if (!file)
        return std::nullopt;
    {
        // Most photographs are JPEGs: their size is in a header a few
        // segments in, much cheaper to find than through a decoder.
        Reading reading(*file);
        if (!reading.device.isOpen())
            return std::nullopt;
        if (const auto size = jpegFrameSize(reading.device))
            return size;
    }
    // Raw files: Qt sees the first TIFF directory, often a small preview;
    // Exiv2 knows which image is the photograph.
    const bool raw = isRaw(*file);
    if (raw) {
        if (const auto size = exiv2PixelSize(*file, mayRead))
            return size;
    }
    {
        Reading reading(*file);
        QImageReader reader(&reading.device);
        const QSize size = reader.size();
        if (size.isValid() && !size.isEmpty())
            return size;
    }
    return raw ? std::nullopt : exiv2PixelSize(*file, mayRead);
}

QImage thumbnail(const QString &path, int maxSide, const LibraryGuard &mayRead)
{
    return load(path, std::max(1, maxSide), mayRead);
}

QImage exifThumbnail(const QString &path, int maxSide, const LibraryGuard &mayRead)
{
    const std::optional<RegularFile> file = openSupported(path);
    if (!file)
        return QImage();
    const Exiv2::Image::AutoPtr image = openWithExiv2(*file, mayRead);
    if (!image.get())
        return QImage();
    try {
        const Exiv2::DataBuf embedded = Exiv2::ExifThumbC(image->exifData()).copy();
        if (embedded.size_ <= 0)
            return QImage();
        return decodeEmbedded(embedded.pData_, embedded.size_, *image, std::max(1, maxSide));
    } catch (const Exiv2::AnyError &) {
    } catch (const std::exception &) { }
    return QImage();
}

QImage image(const QString &path, const LibraryGuard &mayRead)
{
    return load(path, 0, mayRead);
}

} // namespace platform::ImageIO
