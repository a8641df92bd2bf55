// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/ImageStructure.h"
#include "engine/IptcAsRead.h"
#include "engine/JpegSegments.h"
#include "engine/PgfUserData.h"
#include "engine/PngExif.h"
#include "engine/XmpPacket.h"
#include "platform/Console.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/pgfimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>

namespace {

using namespace engine::bridge;

constexpr const char *orientationKey = "Exif.Image.Orientation";
constexpr const char *userCommentKey = "Exif.Photo.UserComment";
constexpr const char *xmpOrientationKey = "Xmp.tiff.Orientation";
constexpr const char *xmpUserCommentKey = "Xmp.exif.UserComment";

struct Clear
{
    bool exif, orientation, gps, comment, iptc, xmp;

    bool anyExif() const { return exif || orientation || gps || comment; }
};

// Where the file keeps a comment beyond the one the library reads: a
// JPEG's comment segments, a PNG's text under "Comment", or the texts of the
// small PNG that holds a PGF's metadata, which the library leaves out when
// it writes that PNG anew.
bool hasTextComment(const Exiv2::Image &image, const Exiv2::byte *data, long size)
{
    if (image.imageType() == Exiv2::ImageType::jpeg)
        return holdsJpegComment(const_cast<Exiv2::byte *>(data), size);
    if (image.imageType() == Exiv2::ImageType::png)
        return engine::bridge::holdsTextComment(data, size);
    if (image.imageType() != Exiv2::ImageType::pgf)
        return false;
    const QByteArray png = pgfUserData(image);
    return engine::bridge::holdsTextComment(
        reinterpret_cast<const Exiv2::byte *>(png.constData()), long(png.size()), true);
}

bool hasTextComment(const Exiv2::Image &image)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return false;
    Exiv2::IoCloser closer(io);
    const bool holds = hasTextComment(image, io.mmap(), long(io.size()));
    io.munmap();
    return holds;
}

bool startsWith(const std::string &text, const char *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Whether a clear takes the Exif datum. General Exif is everything but the
// GPS directory, the orientation and the user comment, which have choices
// of their own, and what the picture needs.
bool isCleared(const Exiv2::Exifdatum &datum, const Clear &clear, const ImageKind &kind)
{
    const std::string key = datum.key();
    if (datum.groupName() == "GPSInfo")
        return clear.gps;
    if (key == orientationKey)
        return clear.orientation;
    if (key == userCommentKey)
        return clear.comment;
    return clear.exif && !isKeptByClear(datum, kind);
}

// Where XMP repeats what the Exif holds: the position, the orientation,
// the user comment and, for general Exif, the rest of the Exif, TIFF and
// Exif extension namespaces.
bool isGpsCopy(const std::string &key)
{
    return startsWith(key, "Xmp.exif.GPS")
        || (startsWith(key, "Xmp.iptcExt.") && key.find(":GPS") != std::string::npos);
}

bool isXmpCopy(const std::string &key, const Clear &clear)
{
    if (isGpsCopy(key))
        return clear.gps;
    if (key == xmpOrientationKey)
        return clear.orientation;
    if (key == xmpUserCommentKey)
        return clear.comment;
    return clear.exif
        && (startsWith(key, "Xmp.exif.") || startsWith(key, "Xmp.exifEX.") || startsWith(key, "Xmp.tiff."));
}

// True when it took any copy.
bool clearXmpCopies(Exiv2::Image &image, const Clear &clear)
{
    Exiv2::XmpData xmp = image.xmpData();
    bool changed = false;
    for (auto datum = xmp.begin(); datum != xmp.end();) {
        const bool copy = isXmpCopy(datum->key(), clear);
        changed = changed || copy;
        datum = copy ? xmp.erase(datum) : std::next(datum);
    }
    if (!changed) {
        keepXmpAsItIs(image);
        return false;
    }
    dropEmptyContainers(xmp);
    removeXmp(image);
    image.setXmpData(xmp);
    return true;
}

[[noreturn]] void stillThere(const std::string &what)
{
    throw Exiv2::Error(Exiv2::kerErrorMessage, what + " still in the written file");
}

template <typename Container, typename Predicate>
void requireNone(const Container &container, Predicate taken)
{
    const auto left = std::find_if(container.begin(), container.end(), taken);
    if (left != container.end())
        stillThere(left->key());
}

// A clear that did not take what it names fails, and the file stays as it was.
void checkCleared(const Exiv2::Image &written, const Clear &clear, const ImageKind &kind, bool xmpCopiesRead)
{
    if (supports(written, Exiv2::mdExif))
        requireNone(written.exifData(), [&](const Exiv2::Exifdatum &d) { return isCleared(d, clear, kind); });
    if (clear.comment && supports(written, Exiv2::mdComment) && !written.comment().empty())
        stillThere("The comment");
    if (clear.comment && written.imageType() != Exiv2::ImageType::pgf && hasTextComment(written))
        stillThere("The comment");
    if (clear.iptc && supports(written, Exiv2::mdIptc))
        requireNone(written.iptcData(), [](const Exiv2::Iptcdatum &) { return true; });
    if (!supports(written, Exiv2::mdXmp))
        return;
    if (clear.xmp) {
        requireNone(written.xmpData(), [](const Exiv2::Xmpdatum &) { return true; });
        if (hasUnreadableXmp(written))
            stillThere("XMP");
    }
    if (xmpCopiesRead)
        requireNone(written.xmpData(), [&](const Exiv2::Xmpdatum &d) { return isXmpCopy(d.key(), clear); });
}

bool keepsCameraForRawData(const Exiv2::ExifData &exif, const ImageKind &kind)
{
    return kind.raw && std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        return d.key() == "Exif.Image.Make" || d.key() == "Exif.Image.Model";
    });
}

} // namespace

bool MetadataOperation::clearMetadata(const QString &path, bool exif, bool orientation, bool gps,
    bool comment, bool iptc, bool xmp, const Destination &into, Shortfalls *shortfalls) const
{
    initializeExiv2();
    const Clear clear { exif, orientation, gps, comment, iptc, xmp };
    if (shortfalls)
        shortfalls->clear();
    Shortfalls kept;
    const auto keep = [&](const char *choice, const QString &reason) {
        kept.append({ Shortfall::Kind::Kept, QLatin1String(choice), reason });
        platform::Console::err(path + QStringLiteral(": ") + reason);
    };
    const bool done = runGuarded([&] {
        const EditedImage edited = openForEditing(path);
        Exiv2::Image *image = edited.image.get();
        const ImageKind kind = imageKind(*image);
        // Whether the file holds anything the clear takes.
        bool changed = false;

        if (supports(*image, Exiv2::mdExif) && clear.anyExif()) {
            Exiv2::ExifData data = image->exifData();
            for (auto datum = data.begin(); datum != data.end();) {
                const bool cleared = isCleared(*datum, clear, kind);
                changed = changed || cleared;
                datum = cleared ? data.erase(datum) : std::next(datum);
            }
            dropIdleTags(data, image->exifData(), kind);
            if (clear.exif && keepsCameraForRawData(data, kind))
                keep("exif",
                    QStringLiteral("the camera's make, model and maker note stay, as raw converters need "
                                   "them to decode the picture"));
            image->setExifData(data);
        }
        if (clear.comment && supports(*image, Exiv2::mdComment)) {
            changed = changed || !image->comment().empty();
            image->clearComment();
        }
        const bool textComment = clear.comment && hasTextComment(*image, edited.bytes.get(), edited.size);
        changed = changed || textComment;
        if (supports(*image, Exiv2::mdIptc)) {
            if (clear.iptc) {
                changed = changed || !image->iptcData().empty();
                image->clearIptcData();
            } else {
                Exiv2::IptcData kept = image->iptcData();
                keepStoredDatesAndTimes(kept, storedIptc(*image), {});
                image->setIptcData(kept);
            }
        }

        bool xmpCopiesRead = false;
        if (supports(*image, Exiv2::mdXmp)) {
            if (clear.xmp) {
                changed = changed || !image->xmpData().empty() || holdsXmpPacket(*image);
                removeXmp(*image);
            } else if (!clear.anyExif()) {
                keepXmpAsItIs(*image);
            } else if (hasUnreadableXmp(*image)) {
                keepXmpAsItIs(*image);
                const std::pair<bool, const char *> choices[]
                    = { { clear.exif, "exif" }, { clear.orientation, "orientation" }, { clear.gps, "gps" },
                          { clear.comment, "comment" } };
                for (const auto &[chosen, choice] : choices) {
                    if (chosen)
                        kept.append({ Shortfall::Kind::Kept, QLatin1String(choice),
                            QStringLiteral("any copies in the file's XMP stay, as the XMP cannot be read") });
                }
                platform::Console::err(path
                    + QStringLiteral(
                        ": the XMP cannot be read, so any copies of the cleared Exif values in it stay"));
            } else {
                changed = clearXmpCopies(*image, clear) || changed;
                xmpCopiesRead = true;
            }
        }
        if (!changed) {
            // Nothing to take: the file stays as it is, byte for byte.
            keepAsItIs(*image, into);
            return;
        }
        const SavedContent content { clear.iptc ? IptcContent::Changed : IptcContent::Kept, textComment };
        saveEdits(
            edited, path, content,
            [&](const Exiv2::Image &written) {
                checkCleared(written, clear, kind, xmpCopiesRead);
                // The PGF's own writer leaves its texts out; should one stay, it is told.
                if (textComment && written.imageType() == Exiv2::ImageType::pgf && hasTextComment(written))
                    keep("comment",
                        QStringLiteral("PGF files keep their comment where it cannot be removed safely"));
            },
            into);
    });
    if (done && shortfalls)
        *shortfalls = kept;
    return done;
}
